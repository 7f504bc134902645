#include "midiportwatch.h"

#include "midiportsupport.h"
#include "serviceportwatch.h"

#include <algorithm>

MidiPortWatch::MidiPortWatch(QObject *parent) : QObject(parent)
{
    for (std::unique_ptr<ServicePortWatch> &watch : ServicePortWatch::all(this))
        services.push_back({std::move(watch), false});
    retry.setInterval(retryMs);
    connect(&retry, &QTimer::timeout, this, &MidiPortWatch::retryWaiting);
}

MidiPortWatch::~MidiPortWatch()
{
    services.clear();
}

void MidiPortWatch::start()
{
    // No service found yet: either may come.
    const RtMidi::Api service = MidiPortSupport::service();
    for (Followed &followed : services)
        follow(followed, service == followed.watch->api() || service == RtMidi::UNSPECIFIED);
}

void MidiPortWatch::retryWaiting()
{
    for (Followed &followed : services) {
        if (followed.wanted && !followed.watch->isOpen() && followed.watch->triesAgain())
            follow(followed, true);
    }
}

void MidiPortWatch::follow(Followed &service, bool wanted)
{
    service.wanted = wanted;
    ServicePortWatch &watch = *service.watch;
    // Its ports are none of the port objects' any more; and a client of a
    // server that stopped is released before one of a new server is made.
    if (watch.isOpen() && (!wanted || !watch.isAlive())) {
        watch.close();
        serviceGone(watch.tag());
    }
    if (wanted && watch.mayOpen() && watch.open() && watch.triesAgain() && retry.isActive()) {
        // The service is back: whatever was open on the old one is looked at again.
        std::lock_guard<std::mutex> lock(mutex);
        postLocked();
    }
    // Until the port objects let go of a stopped server's client, or a new
    // server runs, no client opens; nothing tells when either happens.
    const bool waiting = std::any_of(services.cbegin(), services.cend(), [](const Followed &f) {
        return f.wanted && !f.watch->isOpen() && f.watch->triesAgain();
    });
    if (!waiting)
        retry.stop();
    else if (!retry.isActive())
        retry.start();
}

QSet<QString> MidiPortWatch::takeVanished()
{
    std::lock_guard<std::mutex> lock(mutex);
    QSet<QString> taken;
    taken.swap(vanished);
    return taken;
}

bool MidiPortWatch::isGone(const QString &name) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return gone.contains(name);
}

bool MidiPortWatch::isAnnounced(const QString &name) const
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (std::find(ports.cbegin(), ports.cend(), name) != ports.cend())
            return true;
    }
    for (const Followed &followed : services) {
        const ServicePortWatch &watch = *followed.watch;
        if (watch.isOpen() && watch.isAlive() && watch.lists(name))
            return false;
    }
    return true;
}

void MidiPortWatch::portAdded(quint64 key, const QString &name)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto known = ports.constFind(key);
    if (known != ports.constEnd() && *known != name) {
        vanished.insert(*known);
        gone.insert(*known);
    }
    ports.insert(key, name);
    gone.remove(name);
    postLocked();
}

void MidiPortWatch::portRemoved(quint64 key)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto known = ports.find(key);
    if (known == ports.end())
        return;
    removeLocked(known);
    postLocked();
}

void MidiPortWatch::serviceGone(quint64 tag)
{
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = ports.begin(); it != ports.end();) {
        if ((it.key() & tag) == tag)
            it = removeLocked(it);
        else {
            ++it;
        }
    }
    postLocked();
}

QHash<quint64, QString>::iterator
MidiPortWatch::removeLocked(QHash<quint64, QString>::iterator port)
{
    const QString name = *port;
    vanished.insert(name);
    auto next = ports.erase(port);
    if (std::find(ports.cbegin(), ports.cend(), name) == ports.cend())
        gone.insert(name);
    return next;
}

void MidiPortWatch::postLocked()
{
    // One delivery for everything noted until the GUI thread gets to it.
    if (posted)
        return;
    posted = true;
    QMetaObject::invokeMethod(this, &MidiPortWatch::deliver, Qt::QueuedConnection);
}

void MidiPortWatch::deliver()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        posted = false;
    }
    emit portsChanged();
}
