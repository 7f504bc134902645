#include "receivedmessages.h"

#include "qmidiin.h"
#include "qmidimessage.h"
#include "testwait.h"

#include <QCoreApplication>
#include <QThread>

ReceivedMessages::ReceivedMessages(QMidiIn *input)
{
    if (input)
        connect(input, &QMidiIn::midiMessageReceived, this, &ReceivedMessages::receive);
}

void ReceivedMessages::clear()
{
    m_entries.clear();
    m_destroyed = 0;
}

bool ReceivedMessages::waitFor(int count, int timeoutMs)
{
    return TestWait::until([&] { return m_entries.size() >= count; }, timeoutMs);
}

void ReceivedMessages::receive(QMidiMessage *message)
{
    QThread *gui = QCoreApplication::instance()->thread();
    Entry entry;
    entry.status = message->status();
    entry.channel = message->channel();
    entry.pitch = message->pitch();
    entry.velocity = message->velocity();
    entry.control = message->control();
    entry.value = message->value();
    entry.timeStamp = message->timeStamp();
    entry.sysExData = message->sysExData();
    entry.onGuiThread = QThread::currentThread() == gui;
    entry.ownedByNobody = message->parent() == nullptr && message->thread() == gui;
    m_entries << entry;
    connect(message, &QObject::destroyed, this, [this] { ++m_destroyed; });
}
