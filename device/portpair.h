#ifndef PORTPAIR_H
#define PORTPAIR_H

#include <QObject>
#include <QStringList>

#include <functional>

class QMidiIn;
class QMidiMessage;
class QMidiOut;

// One device's input and output port objects, opened by the names the
// settings store: the only way a pair is opened, whole (start-up, a device
// that comes back) or one end at a time (the settings dialog). GUI thread.
class PortPair : public QObject
{
    Q_OBJECT
public:
    enum class End
    {
        In,
        Out
    };

    // name: how the log calls the device ("hardware", "remote").
    explicit PortPair(const char *name, QObject *parent = nullptr);

    const char *name() const { return pairName; }
    QMidiIn *in() const { return midiIn; }
    QMidiOut *out() const { return midiOut; }
    QStringList portNames(End end) const;
    QString openedName(End end) const;
    // Virtual, with send(): a pair that stands in for the ports lets the
    // link's conversation run where no MIDI service is.
    virtual bool isOpen() const;
    // Sends on the output (dropped while it is closed); throws RtMidiError as the output does.
    virtual void send(QMidiMessage *message);

    // Opens both ends when both stored names are present; the input first,
    // since opening it may shift the output's list. Errors are swallowed: the
    // pair then shows as not connected. True when both ends are open.
    bool open(const QString &inName, const QString &outName);
    // Closes that end if open and opens the port of that name; throws
    // RtMidiError when none is present or it cannot be opened.
    void open(End end, const QString &name);
    void close(End end);
    void close();

    // The one rule that finds a stored name among this end's present ports:
    // the present name, or an empty text. A port renumbered since it was
    // stored is found only when it is neither the other pair's nor one that
    // was listed while this end was last open.
    QString presentName(End end, const QString &stored) const;
    // The other pair's stored and open names.
    void setReserved(const std::function<QStringList()> &names) { reserved = names; }
    // The ports listed now were listed beside this pair's own (it is open and present).
    void noteListed();

signals:
    // The MIDI service stopped under an open end.
    void serviceLost();
    // The pair was open and is no longer: an end closed, or a reopening
    // failed. A reopening that succeeds closes nothing.
    void closed();

private:
    void closeEnd(End end);
    // Tells closed() when an operation that started on an open pair left it closed.
    void settle(bool wasOpen);
    QString match(End end, const QStringList &present, const QString &stored) const;

    const char *pairName;
    QMidiIn *midiIn;
    QMidiOut *midiOut;
    std::function<QStringList()> reserved;
    QStringList listedBeside[2];
};

#endif
