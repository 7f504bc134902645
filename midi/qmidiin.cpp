#include "qmidiin.h"

#include "messagetiming.h"
#include "midibackendholder.h"
#include "midiportsupport.h"
#include "qmidimessage.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>

#include <iostream>
#include <sstream>

// ThreadSanitizer cannot see the lock inside Qt's event queue (Qt is not
// built with it), so it would take the GUI thread's use of a message for a
// race with the library thread's filling of it. In such a build the hand-over
// is told to it; in any other build these do nothing.
#if defined(__SANITIZE_THREAD__)
#define TARN_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARN_THREAD_SANITIZER 1
#endif
#endif

#ifdef TARN_THREAD_SANITIZER
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

namespace {

// Library thread, once everything it does with the message is done.
void handOver([[maybe_unused]] QMidiMessage *message)
{
#ifdef TARN_THREAD_SANITIZER
    __tsan_release(message);
#endif
}

// GUI thread, before the message is used there.
void takeOver([[maybe_unused]] QMidiMessage *message)
{
#ifdef TARN_THREAD_SANITIZER
    __tsan_acquire(message);
#endif
}

// Posted to the application object right behind the slot calls of one
// message. Nothing handles it; when Qt deletes it, after delivering it (so
// after every receiver has read the message) or when the application ends
// before that, it releases the message. Made on the library thread, deleted
// on the GUI thread.
class MessageRelease : public QEvent
{
public:
    explicit MessageRelease(QMidiMessage *message) : QEvent(type()), message(message) {}
    ~MessageRelease() override
    {
        takeOver(message);
        // Deferred, as a receiver may still hold it in a nested event loop;
        // at the end no event loop is left to do it.
        if (QCoreApplication::closingDown())
            delete message;
        else
            message->deleteLater();
    }

private:
    static QEvent::Type type()
    {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }

    QMidiMessage *message;
};

} // namespace

QMidiIn::QMidiIn(QObject *parent) : QObject(parent)
{
#ifdef TARN_THREAD_SANITIZER
    // Connected before any receiver can be, so its queued call runs first;
    // on the application object, so that it still runs when this port object
    // is gone.
    if (QCoreApplication::instance())
        connect(this, &QMidiIn::midiMessageReceived, QCoreApplication::instance(), &takeOver);
#endif
    connect(this, &QMidiIn::serviceLost, this, [this] { backendHolder->releaseIfLost(); });
    qRegisterMetaType<QMidiMessage *>("QMidiMessage*");
    backendHolder = std::make_unique<MidiBackendHolder<MidiInputBackend>>(
        [this] { return makeBackend(); },
        [this] { QMetaObject::invokeMethod(this, &QMidiIn::serviceLost, Qt::QueuedConnection); });
}

QMidiIn::~QMidiIn()
{
    // The back end goes first: its end stops the callback, which must
    // never reach a half-destroyed port object.
    backendHolder.reset();
}

std::unique_ptr<MidiInputBackend> QMidiIn::makeBackend()
{
    std::unique_ptr<MidiInputBackend> port = MidiPortSupport::createInput();
    port->setCallback(&QMidiIn::inputCallback, this);
    port->ignoreTypes(ignoreSysex, ignoreTime, ignoreSense);
    return port;
}

QStringList QMidiIn::portNames()
{
    return backendHolder->portNames();
}

void QMidiIn::openPort(unsigned int index)
{
    ++openings;
    opened = backendHolder->openPort(index, "RtMidi Input");
}

void QMidiIn::openVirtualPort(const QString &name)
{
    MidiInputBackend &port = backendHolder->service();
    ++openings;
    port.openVirtualPort(name.toStdString());
}

void QMidiIn::closePort()
{
    backendHolder->closePort();
    ++openings;
}

bool QMidiIn::isPortOpen() const
{
    return backendHolder->isPortOpen();
}

bool QMidiIn::isFromCurrentOpening(const QMidiMessage *message) const
{
    // Messages not delivered by a port object (built by hand) carry no count.
    return !message || message->opening() == 0 || message->opening() == openings.load();
}

void QMidiIn::ignoreTypes(bool midiSysex, bool midiTime, bool midiSense)
{
    ignoreSysex = midiSysex;
    ignoreTime = midiTime;
    ignoreSense = midiSense;
    backendHolder->current().ignoreTypes(midiSysex, midiTime, midiSense);
}

void QMidiIn::inputCallback(double deltaTime, std::vector<unsigned char> *message, void *userData)
{
    if (!message || message->empty() || !userData)
        return;
    auto *received = new QMidiMessage;
    received->decode(*message, deltaTime);
    qDebug("channel %d", static_cast<int>(message->front()) - 144);
    // Built whole and written in one call: both inputs' threads write here.
    std::ostringstream line;
    for (size_t i = 0; i < message->size(); ++i)
        line << "Byte " << i << " = " << static_cast<int>((*message)[i]) << ", ";
    line << "stamp = " << deltaTime << '\n';
    std::cout << line.str() << std::flush;
    static_cast<QMidiIn *>(userData)->deliverMessage(received);
}

void QMidiIn::deliverMessage(QMidiMessage *message)
{
    const MessageTiming timing(message->status());
    message->setOpening(openings.load());
    message->moveToThread(thread());
    // Posted behind the slot calls that the emission posts, so every receiver
    // has read the message before it goes; to the application object, so
    // that it is not lost with this port object. (A deleteLater from here
    // would not wait for the receivers: a flush of deferred deletions, as
    // QTest::qWait does, can run it first.)
    auto *release = new MessageRelease(message);
    QObject *keeper = QCoreApplication::instance();
    if (!keeper)
        keeper = this;
    handOver(message);
    emit midiMessageReceived(message);
    QCoreApplication::postEvent(keeper, release);
}
