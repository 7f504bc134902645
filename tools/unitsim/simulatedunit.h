#ifndef SIMULATEDUNIT_H
#define SIMULATEDUNIT_H

#include "hardmessages.h"

#include <string>

// The hardware unit's side of the SysEx conversation: its serial number, its current preset,
// whether it is silent, and the reply each message earns. No I/O; the simulator's main thread.
class SimulatedUnit
{
public:
    // What the unit does with one event: the bytes to send (empty for none) and a note for
    // the terminal.
    struct Answer
    {
        ByteVector reply;
        std::string note;
        int delayMs = 0; // the reply goes out that much later
    };

    explicit SimulatedUnit(const ByteVector &serial);

    const ByteVector &serial() const { return unitSerial; }
    int preset() const { return currentPreset; } // one-based, 0 for none
    bool isSilent() const { return silent; }
    void setSilent(bool on) { silent = on; }
    // Every reply to a request goes out this late.
    void setDelay(int ms) { delayMs = ms; }
    int delay() const { return delayMs; }
    // The first count requests after each opening of the ports are lost, as
    // by a unit still booting or a connection not yet carrying MIDI.
    void setDropFirst(int count) { dropFirst = count; }
    void opened() { dropped = 0; }

    // A message arrived on the unit's input.
    Answer receive(const ByteVector &message);
    // A preset chosen on the front panel (0 for none, 1 to 6): an unsolicited status reply.
    Answer choosePreset(int preset);

    // F0, serial number, 02 00 F7: a reply type other than 01, so it is not a status reply.
    ByteVector serialReply() const;
    // F0, serial number, 01, the one-based preset (00 for none), F7.
    ByteVector statusReply() const;

private:
    Answer answerTo(const ByteVector &message);
    std::string presetText() const;

    ByteVector unitSerial;
    int currentPreset = 0;
    bool silent = false;
    int delayMs = 0;
    int dropFirst = 0;
    int dropped = 0;
};

#endif
