#ifndef PORTFOLLOWER_H
#define PORTFOLLOWER_H

#include "midiportwatch.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class HardwareLink;
class PortPair;
class ControllerLink;

// Keeps the link's and the pads' port pairs in step with devices that come
// and go, on the MIDI service's notifications: a pair whose device went is
// closed; a pair whose stored names appear is opened as at start-up (the unit
// is asked for its serial number, the pads get the active preset). GUI thread.
class PortFollower : public QObject
{
    Q_OBJECT
public:
    // The input's and the output's stored name, as the settings hold them now.
    using StoredNames = std::function<QStringList()>;

    PortFollower(HardwareLink *link, const StoredNames &hardwareNames, ControllerLink *pads,
                 const StoredNames &remoteNames, QObject *parent = nullptr);

    // Starts following; the pairs are opened after this, so that no device
    // that comes meanwhile is missed.
    void start();

public slots:
    // Brings both pairs in line with the ports present now.
    void recheck();
    // While the settings dialog applies its ports (its error box included),
    // they are its own; they are followed again once it is done.
    void hold() { held = true; }
    void release();

signals:
    // A pair was closed or opened.
    void pairsChanged();
    // Every look, changed or not: lists of present ports may show it.
    void rechecked();

private:
    enum class Change
    {
        None,
        Closed,
        Opened
    };

    Change follow(PortPair &pair, const QStringList &stored, const QSet<QString> &vanished);
    bool available(const QString &name) const;

    HardwareLink *link;
    ControllerLink *pads;
    StoredNames hardwareNames;
    StoredNames remoteNames;
    MidiPortWatch watch;
    bool held = false;
    // A re-check can open a message box (a failed send) whose event loop
    // delivers the next notification: that one runs after this one instead.
    bool checking = false;
    bool checkAgain = false;
};

#endif
