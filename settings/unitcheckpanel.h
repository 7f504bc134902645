#ifndef UNITCHECKPANEL_H
#define UNITCHECKPANEL_H

#include <QList>
#include <QWidget>

class HardSettingDialog;
class HardwareLink;
class QLabel;
class QPushButton;
class QSpinBox;

// The settings dialog's check of the unit: the idle check's period and the
// "Test the unit" run through presets 1 to 6 and back, one result line per
// preset. It shows and edits the period; the dialog keeps it. GUI thread.
class UnitCheckPanel : public QWidget
{
    Q_OBJECT
public:
    UnitCheckPanel(HardwareLink *link, HardSettingDialog *dialog);

    void showSeconds(int seconds);
    int seconds() const;

    bool isTesting() const { return testing; }

signals:
    // The test has written its last line.
    void testFinished();

private:
    void placeIn(HardSettingDialog *dialog);
    void startTest();
    void nextStep();
    void confirmed(int preset, qint64 ms);
    void linkMoved();
    void finish(const QString &line);

    HardwareLink *link;
    QSpinBox *checkSeconds;
    QPushButton *testButton;
    QLabel *results;
    QStringList lines;
    QList<int> steps;
    bool testing = false;
};

#endif
