#include "midiportwatch.h"

#include "tarnconfig.h"

#include "midiportsupport.h"

#ifdef TARNAPP_WITH_ALSA
#include "alsaportwatch.h"
#endif
#ifdef TARNAPP_WITH_JACK
#include "jackportwatch.h"
#endif

#include <algorithm>

// The back ends: JACK and ALSA are optional at build time, so their files are
// only included when they are built.
#ifndef TARNAPP_WITH_ALSA
class AlsaPortWatch
{
};
#endif
#ifndef TARNAPP_WITH_JACK
class JackPortWatch
{
};
#endif

MidiPortWatch::MidiPortWatch(QObject *parent) : QObject(parent)
{
    retry.setInterval(retryMs);
    connect(&retry, &QTimer::timeout, this, [this] { startJack(true); });
}

MidiPortWatch::~MidiPortWatch()
{
    // The back ends go first: their threads report into the members below.
    jack.reset();
    alsa.reset();
}

void MidiPortWatch::start()
{
    // No service found yet: either may come.
    const RtMidi::Api service = MidiPortSupport::service();
    startJack(service == RtMidi::UNIX_JACK || service == RtMidi::UNSPECIFIED);
#ifdef TARNAPP_WITH_ALSA
    if (service != RtMidi::LINUX_ALSA && service != RtMidi::UNSPECIFIED) {
        // Its ports are none of the port objects' any more.
        if (alsa) {
            alsa.reset();
            alsaTried = false;
            serviceGone(AlsaPortWatch::tag);
        }
    } else if (!alsa && !alsaTried) {
        // The sequencer is there from boot or not at all: one try, as every
        // failed one prints ALSA's complaint.
        alsaTried = true;
        alsa = std::make_unique<AlsaPortWatch>(this);
        if (!alsa->open())
            alsa.reset();
    }
#endif
}

void MidiPortWatch::startJack(bool wanted)
{
#ifdef TARNAPP_WITH_JACK
    // A client of a server that stopped is released before one of a new server is made.
    if (jack && (!wanted || !jack->isAlive())) {
        jack.reset();
        serviceGone(JackPortWatch::tag);
    }
    if (wanted && !jack) {
        jack = std::make_unique<JackPortWatch>(this);
        if (!jack->open()) {
            jack.reset();
        } else if (retry.isActive()) {
            // The server is back: whatever was open on the old one is looked at again.
            std::lock_guard<std::mutex> lock(mutex);
            postLocked();
        }
    }
    // Until the port objects let go of a stopped server's client, or a new
    // server runs, no client opens; nothing tells when either happens.
    if (wanted && !jack) {
        if (!retry.isActive())
            retry.start();
    } else {
        retry.stop();
    }
#else
    Q_UNUSED(wanted);
#endif
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
#ifdef TARNAPP_WITH_JACK
    if (jack && jack->isAlive() && jack->lists(name))
        return false;
#endif
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
