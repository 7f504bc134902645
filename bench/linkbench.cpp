#include "linkbench.h"

#include "benchsettings.h"
#include "linecounter.h"

#include <cstdio>
#include <thread>

namespace {

using namespace std::chrono;
using Clock = SimulatedDevice::Clock;

const ByteVector serial{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x04};

// F0, the serial, a type and a value, F7: the unit's replies.
ByteVector reply(unsigned char type, unsigned char value)
{
    ByteVector bytes;
    bytes.reserve(serial.size() + 4);
    bytes.push_back(0xF0);
    for (unsigned char byte : serial)
        bytes.push_back(byte);
    for (unsigned char byte : {type, value, static_cast<unsigned char>(0xF7)})
        bytes.push_back(byte);
    return bytes;
}

double microsecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return duration<double, std::micro>(to - from).count();
}

// Polls the program's log; the time the line was first seen, or none.
bool waitForLine(LineCounter &lines, long long before, Clock::time_point &seen)
{
    const auto start = Clock::now();
    while (lines.count() == before) {
        if (Clock::now() - start > seconds(5))
            return false;
        std::this_thread::sleep_for(microseconds(200));
    }
    seen = Clock::now();
    return true;
}

} // namespace

bool LinkBench::answerNext(size_t &index, const ByteVector &bytes)
{
    if (!unit->waitFor(index + 1, milliseconds(5000)))
        return false;
    index = unit->messages().size();
    unit->send(bytes);
    return true;
}

int LinkBench::run()
{
    using Role = SimulatedDevice::Role;
    unit = std::make_unique<SimulatedDevice>(BenchSettings::names("bench-link"), Role::Raw);
    pads = std::make_unique<SimulatedDevice>(BenchSettings::names("bench-link-pads"), Role::Raw);
    process = BenchSettings::program(program, *unit, pads.get(), false);
    size_t heard = 0;
    // Serial reply, then the status reply to the init status request.
    if (!process->start() || !answerNext(heard, reply(0x02, 0x00)) ||
        !answerNext(heard, reply(0x01, 0x01))) {
        std::fprintf(stderr, "bench: the program did not link with the unit\n");
        return 1;
    }
    const std::string log = process->logPath("stderr.log");
    LineCounter flagged(log, "Link   : unit not answering");
    LineCounter back(log, "Link   : unit answering again");
    for (int round = 0; round < rounds; ++round) {
        // The program has finished with the last answer's lamps.
        std::this_thread::sleep_for(milliseconds(100));
        const long long flaggedBefore = flagged.count();
        const long long backBefore = back.count();
        unit->take();
        heard = unit->messages().size();
        // A pad press (PRESET2 or PRESET3), left unanswered.
        const auto pressed = pads->send({0x90, static_cast<unsigned char>(55 + round % 2), 127});
        Clock::time_point seen;
        if (!waitForLine(flagged, flaggedBefore, seen)) {
            std::fprintf(stderr, "bench: the program never flagged the silent unit\n");
            return 1;
        }
        flagUs.add(microsecondsBetween(pressed, seen));
        unit->take();
        presetRequestsSent += int(unit->messages().size() - heard);
        heard = unit->messages().size();
        // Its next status request (once a second) is answered at once.
        if (!unit->waitFor(heard + 1, milliseconds(3000))) {
            std::fprintf(stderr, "bench: the program did not ask the silent unit again\n");
            return 1;
        }
        const auto answered = unit->send(reply(0x01, static_cast<unsigned char>(2 + round % 2)));
        if (!waitForLine(back, backBefore, seen)) {
            std::fprintf(stderr, "bench: the program did not take the unit back\n");
            return 1;
        }
        recoverUs.add(microsecondsBetween(answered, seen));
    }
    printTable();
    return 0;
}

void LinkBench::printTable() const
{
    LatencyStats::printMilliseconds("A unit that stops answering (ms)",
                                    {{"press -> \"unit not answering\" (log line)", &flagUs},
                                     {"first answer -> complete again (log line)", &recoverUs}});
    std::printf("Requests at the unit per unanswered press (preset request and its repeat): "
                "%.2f\n",
                flagUs.count() ? double(presetRequestsSent) / double(flagUs.count()) : 0.0);
}
