#ifndef STATUSDISPLAY_H
#define STATUSDISPLAY_H

#include <QList>
#include <QObject>
#include <QStringList>

class HardwareLink;
class PortPair;
class QLabel;
class QPushButton;
class QWidget;
class RemotePads;

// The main window's view of the link and the pads: lamps, captions, status
// line and preset buttons as the link state and the ports have them, the
// preset the unit reports, and the boxes for failed sends. GUI thread.
class StatusDisplay : public QObject
{
    Q_OBJECT
public:
    struct Widgets
    {
        QLabel *hardLamp;
        QLabel *hardCaption;
        QLabel *remoteLamp;
        QLabel *remoteCaption;
        QLabel *message;
        QList<QPushButton *> presetButtons;
    };

    // Made before the pads, so that the buttons show a reported preset before
    // the pads' lamps do (a failed lamp note's box may let a newer one through).
    StatusDisplay(HardwareLink *link, const Widgets &widgets, QWidget *window);
    void followRemote(RemotePads *pads);
    // A box for a failed send (one of each title at a time), run in its own loop.
    void showSendError(const char *title, const QString &text);

public slots:
    void updateStatusDisplay();
    void showReportedPreset(int preset);

private:
    HardwareLink *link;
    PortPair *remotePorts = nullptr;
    Widgets widgets;
    QWidget *window;
    // Titles of the boxes open now: errors arriving inside a box's event loop
    // do not stack boxes without bound.
    QStringList errorBoxes;
};

#endif
