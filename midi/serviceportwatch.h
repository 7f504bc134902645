#ifndef SERVICEPORTWATCH_H
#define SERVICEPORTWATCH_H

#include <QString>
#include <RtMidi.h>

#include <cstdint>
#include <memory>
#include <vector>

class MidiPortWatch;

// One MIDI service's ears for MidiPortWatch: hears of the ports that come
// and go on that service and reports them to the watch under keys of its own
// (tagged, so that the services' keys never meet). One subclass per service
// this build has (JackPortWatch, AlsaPortWatch). Opened and closed on the GUI
// thread; a subclass may report from a notification thread of its service.
class ServicePortWatch
{
public:
    // One of each service this build has, in the order they are followed.
    static std::vector<std::unique_ptr<ServicePortWatch>> all(MidiPortWatch *watch);

    virtual ~ServicePortWatch() = default;
    ServicePortWatch(const ServicePortWatch &) = delete;
    ServicePortWatch &operator=(const ServicePortWatch &) = delete;

    // The service whose ports it hears of.
    virtual RtMidi::Api api() const = 0;
    // Whether an open that failed is tried again while the service is wanted.
    virtual bool triesAgain() const = 0;
    // False once its service has stopped under it.
    virtual bool isAlive() const { return true; }
    // Whether the service has a port of that name now, announced or not.
    virtual bool lists(const QString & /*name*/) const { return false; }

    // Starts listening and reports the ports there now; false without the
    // service. Never starts a service.
    bool open();
    // Stops listening; the watch is told separately that its ports went.
    void close();
    bool isOpen() const { return opened; }
    // False after an open that failed, for a service not tried again until closed.
    bool mayOpen() const { return !opened && (!tried || triesAgain()); }
    // The high bits of every key it reports.
    std::uint64_t tag() const { return keyTag; }

protected:
    ServicePortWatch(MidiPortWatch *watch, std::uint64_t tag) : watch(watch), keyTag(tag) {}

    virtual bool listen() = 0;
    virtual void stopListening() = 0;

    // From any thread; key is the service's own identity of a port.
    void portAdded(std::uint64_t key, const QString &name);
    void portRemoved(std::uint64_t key);
    void serviceGone();

private:
    MidiPortWatch *const watch;
    const std::uint64_t keyTag;
    bool opened = false;
    bool tried = false;
};

#endif
