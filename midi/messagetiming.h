#ifndef MESSAGETIMING_H
#define MESSAGETIMING_H

#include <QtGlobal>

// The program's own time per received message, for the benchmark; on only
// when TARNAPP_TIMING=1 (read once), otherwise one branch per call. Made on
// the library's input thread around a message's hand-over; everything else
// runs on the GUI thread, where each send that the message causes is timed
// and, once its receivers are done, written to standard error as
// "Timing : SS N T us" (SS its status byte in hex, N the send's number
// since it, T microseconds from the hand-over to just before the send).
// Two inputs' messages handed over at once may overlap and lose their lines;
// the benchmark sends one at a time.
class MessageTiming
{
public:
    explicit MessageTiming(int status)
    {
        if (on)
            begin(status);
    }
    ~MessageTiming()
    {
        if (on)
            end();
    }
    MessageTiming(const MessageTiming &) = delete;
    MessageTiming &operator=(const MessageTiming &) = delete;

    // GUI thread, just before bytes go to the library.
    static void sending()
    {
        if (on)
            record();
    }

private:
    static const bool on;
    void begin(int status);
    void end();
    static void record();

    qint64 stamp = 0;
};

#endif
