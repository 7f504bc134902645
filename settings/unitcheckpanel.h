#ifndef UNITCHECKPANEL_H
#define UNITCHECKPANEL_H

#include <QList>
#include <QWidget>

class AppSetting;
class HardSettingDialog;
class HardwareLink;
class QLabel;
class QPushButton;
class QSpinBox;

// The settings dialog's check of the unit: the idle check's period and the
// "Test the unit" run through presets 1 to 6 and back, one result line per
// preset. It also hands the record's answer times to the link. GUI thread.
class UnitCheckPanel : public QWidget
{
    Q_OBJECT
public:
    UnitCheckPanel(AppSetting *setting, HardwareLink *link, HardSettingDialog *dialog);

    bool isTesting() const { return testing; }

signals:
    // The test has written its last line.
    void testFinished();

private:
    void placeIn(HardSettingDialog *dialog);
    void applyRecord();
    void startTest();
    void nextStep();
    void confirmed(int preset, qint64 ms);
    void linkMoved();
    void finish(const QString &line);

    AppSetting *setting;
    HardwareLink *link;
    QSpinBox *checkSeconds;
    QPushButton *testButton;
    QLabel *results;
    QStringList lines;
    QList<int> steps;
    bool testing = false;
};

#endif
