#ifndef RECEIVEDMESSAGES_H
#define RECEIVEDMESSAGES_H

#include <QObject>
#include <QVector>

#include <vector>

class QMidiIn;
class QMidiMessage;

// Records what a QMidiIn delivers, as a test's slot would see it: a copy of
// each message's fields taken while the slot runs, the thread it ran on, and
// how many of the delivered message objects have been destroyed since.
// Lives and records on the GUI thread.
class ReceivedMessages : public QObject
{
    Q_OBJECT
public:
    struct Entry
    {
        int status = 0;
        int channel = 0;
        int pitch = 0;
        int velocity = 0;
        int control = 0;
        int value = 0;
        double timeStamp = 0.0;
        std::vector<unsigned char> sysExData;
        bool onGuiThread = false;   // the slot ran on the application's thread
        bool ownedByNobody = false; // no parent, living in the GUI thread
    };

    // Connects to input's midiMessageReceived (automatic connection).
    explicit ReceivedMessages(QMidiIn *input = nullptr);

    QVector<Entry> entries() const { return m_entries; }
    int count() const { return m_entries.size(); }
    int destroyedCount() const { return m_destroyed; }
    void clear();
    // Waits (processing Qt events) until at least count messages arrived.
    bool waitFor(int count, int timeoutMs = 5000);

public slots:
    void receive(QMidiMessage *message);

private:
    QVector<Entry> m_entries;
    int m_destroyed = 0;
};

#endif
