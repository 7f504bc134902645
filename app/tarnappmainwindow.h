#ifndef TARNAPPMAINWINDOW_H
#define TARNAPPMAINWINDOW_H

#include "appsetting.h"

#include <QList>
#include <QMainWindow>

#include <string>
#include <vector>

class HardSettingDialog;
class PortFollower;
class QGridLayout;
class QLabel;
class QLayout;
class QMidiIn;
class QMidiMessage;
class QMidiOut;
class QPushButton;

// The program's only top-level window: owns the settings record, the four MIDI
// ports, the settings dialog and the preset buttons, and runs the link to the
// unit. GUI thread only; MIDI input reaches it through queued signals.
class TarnAppMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Link states of the hardware unit.
    enum HardStatus
    {
        NoPort = 0,
        WaitSerial = 1,
        WaitInitStatus = 2,
        Complete = 3
    };

    explicit TarnAppMainWindow(QWidget *parent = nullptr);
    ~TarnAppMainWindow() override;

    void initialize();

    // Captions and styles.
    void updateCaptions();
    void setButtonStyle(QWidget *widget, const QString &color);
    void setLampStyle(QWidget *widget, const QString &color);
    void setTextColor(QWidget *widget, const QString &color);

    // Arrangements and fonts.
    void applyLayout();
    void setFonts(int pointSize);
    static int pointSizeFor(int dispType, int width, int height);
    // The fonts of the installed arrangement for a window of that size.
    void fitFonts(const QSize &windowSize);

    // Link to the unit.
    void requestSerial();
    void requestInitStatus();
    void handleHardReply(const std::vector<unsigned char> &message);
    void updateStatusDisplay();
    void sendMidiHard(const std::vector<unsigned char> &message);
    void sendMidiRemote(int index, bool on);
    void logMidiTraffic(const QString &text, bool sent);

    // Preset selection.
    void selectPreset(int index);

    // The two configuration files, in the per-user configuration folder.
    static QString settingFilePath();
    static QString windowStateFilePath();

    // Read-only views for whoever inspects the window (tests, tools).
    const AppSetting &setting() const { return appSetting; }
    int linkStatus() const { return hardStatus; }
    int reportedPreset() const { return currentPreset; }
    const std::vector<unsigned char> &heldSerial() const { return hardSerial; }
    QPushButton *presetButton(int index) const { return presetButtons.value(index, nullptr); }
    QPushButton *settingButton() const { return pushSetting; }
    QLabel *hardLamp() const { return labelHardLamp; }
    QLabel *hardCaption() const { return labelHardConnection; }
    QLabel *remoteLamp() const { return labelRemoteLamp; }
    QLabel *remoteCaption() const { return labelRemoteConnection; }
    QLabel *messageLabel() const { return labelMessage; }
    HardSettingDialog *settingDialog() const { return hardSettingDialog; }
    QMidiIn *hardIn() const { return midiHardIn; }
    QMidiOut *hardOut() const { return midiHardOut; }
    QMidiIn *remoteIn() const { return midiRemoteIn; }
    QMidiOut *remoteOut() const { return midiRemoteOut; }

public slots:
    void onMidiHardReceive(QMidiMessage *message);
    void onMidiRemoteReceive(QMidiMessage *message);
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
    friend class PortFollower; // opens a returning device's pair as start-up does
    void openPortPair(QMidiIn *in, QMidiOut *out, const QString &inName, const QString &outName,
                      bool requestSerialAfter);
    void readWindowState();
    void writeWindowState();
    int installedArrangement() const;
    void showSendError(bool &shown, const char *title, const std::string &text);

    AppSetting appSetting;
    QMidiIn *midiHardIn;
    QMidiOut *midiHardOut;
    QMidiIn *midiRemoteIn;
    QMidiOut *midiRemoteOut;
    QLayout *mainLayout;
    QGridLayout *statusLayout;
    QList<QPushButton *> presetButtons;
    QPushButton *pushSetting;
    QLabel *labelRemoteLamp;
    QLabel *labelRemoteConnection;
    QLabel *labelHardLamp;
    QLabel *labelHardConnection;
    QLabel *labelMessage;
    HardSettingDialog *hardSettingDialog;
    PortFollower *portFollower = nullptr;
    int currentPreset;
    int hardStatus;
    std::vector<unsigned char> hardSerial;
    // Counts the replies taken up and the serial requests, so that handling
    // interrupted by a nested event loop can tell it has been overtaken.
    quint64 replyCount = 0;
    int appliedDispType;
    // Set while a send-error box of that kind is open, so that errors arriving
    // inside its event loop do not stack boxes without bound.
    bool hardErrorShown = false;
    bool remoteErrorShown = false;
};

#endif
