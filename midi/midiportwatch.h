#ifndef MIDIPORTWATCH_H
#define MIDIPORTWATCH_H

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <memory>
#include <mutex>
#include <vector>

class ServicePortWatch;

// Follows the MIDI ports that come and go through the notifications of the
// service the port objects use (see MidiPortSupport::service), and only that
// one, and tells the GUI thread with one portsChanged per burst; each
// service's notices come through a ServicePortWatch of its own. Nothing polls
// while the service runs; while one that may start later (a JACK server) is
// wanted and gone, it is tried again every retryMs. Keeps its own view of
// the ports present, built in the order the services announced them, so that
// a port that went and came back before anyone looked is still seen to have
// gone. Made and asked on the GUI thread; the services report from their
// notification threads.
class MidiPortWatch : public QObject
{
    Q_OBJECT
public:
    explicit MidiPortWatch(QObject *parent = nullptr);
    ~MidiPortWatch() override;

    // Watches the port objects' service when it runs now and is not watched
    // yet, and drops the watch on any other. Never starts a service; cheap
    // when everything is watched already.
    void start();

    static constexpr int retryMs = 250;

    // The names (as the port lists show them) of the ports that went since the
    // last call.
    QSet<QString> takeVanished();
    // Whether the last announcement of that name was its going. A port list
    // may show a port before its announcement has arrived: one that shows a
    // name gone here is a port that came back and whose coming is still on
    // its way, so it is better left until then.
    bool isGone(const QString &name) const;
    // False for a port that a watched service lists but has not announced:
    // JACK lists the ports of a client before it is active, when nothing can
    // connect to them, and announces them when it becomes active.
    bool isAnnounced(const QString &name) const;

    // For the services, from any thread. A key is the service's own identity
    // of a port; a port known already under its key is renamed.
    void portAdded(quint64 key, const QString &name);
    void portRemoved(quint64 key);
    // Every port whose key has these high bits (the service's tag) went.
    void serviceGone(quint64 tag);

signals:
    void portsChanged();

private:
    QHash<quint64, QString>::iterator removeLocked(QHash<quint64, QString>::iterator port);
    void postLocked();
    void deliver();
    struct Followed;
    void follow(Followed &service, bool wanted);
    void retryWaiting();

    mutable std::mutex mutex;
    QHash<quint64, QString> ports;
    QSet<QString> vanished;
    QSet<QString> gone;
    bool posted = false;
    // Runs only while a service that is tried again is wanted and not watched.
    QTimer retry;
    // Last: they go first, as their threads report into the members above.
    struct Followed
    {
        std::unique_ptr<ServicePortWatch> watch;
        bool wanted = false;
    };
    std::vector<Followed> services;
};

#endif
