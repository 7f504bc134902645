#ifndef TARNAPPMAINWINDOW_H
#define TARNAPPMAINWINDOW_H

#include "appsetting.h"
#include "controllerlink.h"
#include "hardwarelink.h"

#include <QList>
#include <QMainWindow>

class HardSettingDialog;
class PortChoice;
class PortFollower;
class PortPair;
class QLabel;
class QPushButton;
class StageLayout;
class StatusDisplay;
class WindowFit;

// The program's only top-level window: owns the settings record, the link to
// the unit, the pads, the settings dialog and the preset buttons, and shows
// what they report. GUI thread only.
class TarnAppMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // hardPorts: the unit's pair, made here when none is given; the window owns it.
    explicit TarnAppMainWindow(QWidget *parent = nullptr, PortPair *hardPorts = nullptr);
    ~TarnAppMainWindow() override;

    void initialize();

    // Captions; the colours are StageStyle's.
    void updateCaptions();

    // Arrangements and fonts.
    void applyLayout();
    void setFonts(int pointSize);

    // Lamps, status line and buttons from the ports and the link state.
    void updateStatusDisplay();

    // What the window shows and forwards to (its keys, whoever inspects it).
    HardwareLink &link() const { return *hardwareLink; }
    ControllerLink &pads() const { return *controllerLink; }

public slots:
    void on_pushPreset1_clicked();
    void on_pushPreset2_clicked();
    void on_pushPreset3_clicked();
    void on_pushPreset4_clicked();
    void on_pushPreset5_clicked();
    void on_pushPreset6_clicked();
    void on_pushSetting_clicked();
    void on_about();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    AppSetting appSetting;
    HardwareLink *hardwareLink;
    ControllerLink *controllerLink;
    StatusDisplay *statusDisplay;
    StageLayout *stage = nullptr;
    WindowFit *windowFit = nullptr;
    QList<QPushButton *> presetButtons;
    QPushButton *pushSetting;
    QLabel *labelRemoteLamp;
    QLabel *labelRemoteConnection;
    QLabel *labelHardLamp;
    QLabel *labelHardConnection;
    QLabel *labelMessage;
    HardSettingDialog *hardSettingDialog;
    PortFollower *portFollower = nullptr;
    PortChoice *portChoice = nullptr;
};

#endif
