#ifndef PORTFOLLOWER_H
#define PORTFOLLOWER_H

#include "midiportwatch.h"

#include <QObject>
#include <QSet>
#include <QString>

class QMidiIn;
class QMidiOut;
class TarnAppMainWindow;

// Keeps the window's two port pairs in step with devices that come and go, on
// the MIDI service's notifications: a pair whose device went is closed and
// shown so; a pair whose stored names appear is opened as at start-up (the
// unit is asked for its serial number, the pads get the active preset); an
// open settings dialog's lists are refreshed. GUI thread.
class PortFollower : public QObject
{
    Q_OBJECT
public:
    explicit PortFollower(TarnAppMainWindow *window);

    // Starts following; the window opens its ports after this, so that no
    // device that comes meanwhile is missed.
    void start();

public slots:
    // Brings both pairs in line with the ports present now.
    void recheck();

private:
    enum class Change
    {
        None,
        Closed,
        Opened
    };

    Change follow(QMidiIn *in, QMidiOut *out, const QString &storedIn, const QString &storedOut,
                  bool hardware, const QSet<QString> &vanished);
    bool available(const QString &name) const;

    TarnAppMainWindow *window;
    MidiPortWatch watch;
    // A re-check can open a message box (a failed send) whose event loop
    // delivers the next notification: that one runs after this one instead.
    bool checking = false;
    bool checkAgain = false;
};

#endif
