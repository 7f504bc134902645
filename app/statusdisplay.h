#ifndef STATUSDISPLAY_H
#define STATUSDISPLAY_H

#include "stagewidgets.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class HardwareLink;
class PortPair;
class QLabel;
class QPushButton;
class QWidget;
class ControllerLink;

// The main window's view of the link and the pads: lamps, captions, status
// line and preset buttons as the link state and the ports have them, the
// preset the unit reports, and the boxes for failed sends. GUI thread.
class StatusDisplay : public QObject
{
    Q_OBJECT
public:
    using Widgets = StageWidgets;

    // Made after the pads, so that their lamps go out before the buttons
    // restyle; the buttons show the link's preset, which is the newest even
    // when a failed lamp note's box let a newer report through.
    StatusDisplay(HardwareLink *link, const Widgets &widgets, QWidget *window);
    void followRemote(ControllerLink *pads);
    // The input's and the output's stored names: a pair that is not open is
    // explained by them (not set, or set and not there).
    using StoredNames = std::function<QStringList()>;
    void setStoredNames(const StoredNames &hardware, const StoredNames &remote);
    // A box for a failed send (one of each title at a time), run in its own loop.
    void showSendError(const char *title, const QString &text);

public slots:
    void updateStatusDisplay();
    void showReportedPreset(int preset);
    // The preset asked for and not yet confirmed gets a look of its own.
    void showPending(int preset);

private:
    // Why a pair is not open, in the musician's words.
    QString closedReason(PortPair *pair, const StoredNames &stored, const QString &device) const;
    // Each explanation once per change on the debug output.
    void tell(QString &told, const QString &text);

    HardwareLink *link;
    StoredNames hardwareNames;
    StoredNames remoteNames;
    QString toldHardware;
    QString toldRemote;
    PortPair *remotePorts = nullptr;
    Widgets widgets;
    QWidget *window;
    // Titles of the boxes open now: errors arriving inside a box's event loop
    // do not stack boxes without bound.
    QStringList errorBoxes;
};

#endif
