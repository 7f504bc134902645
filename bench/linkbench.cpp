#include "linkbench.h"

#include "benchprogram.h"
#include "linecounter.h"

#include <cstdio>
#include <thread>

namespace {

using namespace std::chrono;

const BenchPeer::Bytes serial{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x04};

// F0, the serial, a type and a value, F7: the unit's replies.
BenchPeer::Bytes reply(unsigned char type, unsigned char value)
{
    BenchPeer::Bytes bytes;
    bytes.reserve(serial.size() + 4);
    bytes.push_back(0xF0);
    for (unsigned char byte : serial)
        bytes.push_back(byte);
    for (unsigned char byte : {type, value, static_cast<unsigned char>(0xF7)})
        bytes.push_back(byte);
    return bytes;
}

double microsecondsBetween(BenchPeer::Clock::time_point from, BenchPeer::Clock::time_point to)
{
    return duration<double, std::micro>(to - from).count();
}

// Polls the program's log; the time the line was first seen, or none.
bool waitForLine(LineCounter &lines, long long before, BenchPeer::Clock::time_point &seen)
{
    const auto start = BenchPeer::Clock::now();
    while (lines.count() == before) {
        if (BenchPeer::Clock::now() - start > seconds(5))
            return false;
        std::this_thread::sleep_for(microseconds(200));
    }
    seen = BenchPeer::Clock::now();
    return true;
}

} // namespace

LinkBench::LinkBench(const QString &program, int rounds) : program(program), rounds(rounds) {}

LinkBench::~LinkBench()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished(2000);
    }
}

bool LinkBench::startProgram()
{
    BenchProgram::writeSettings(workDir.path(), *unit, pads.get());
    return BenchProgram::start(process, program, workDir.path(), false);
}

bool LinkBench::answerNext(size_t &index, const BenchPeer::Bytes &bytes)
{
    if (!unit->waitForArrivals(index + 1, milliseconds(5000)))
        return false;
    index = unit->arrivalCount();
    unit->send(bytes);
    return true;
}

int LinkBench::run()
{
    unit = std::make_unique<BenchPeer>("bench-link");
    pads = std::make_unique<BenchPeer>("bench-link-pads");
    size_t heard = 0;
    // Serial reply, then the status reply to the init status request.
    if (!workDir.isValid() || !startProgram() || !answerNext(heard, reply(0x02, 0x00)) ||
        !answerNext(heard, reply(0x01, 0x01))) {
        std::fprintf(stderr, "bench: the program did not link with the unit\n");
        return 1;
    }
    const std::string log = (workDir.path() + "/stderr.log").toStdString();
    LineCounter flagged(log, "Link   : unit not answering");
    LineCounter back(log, "Link   : unit answering again");
    for (int round = 0; round < rounds; ++round) {
        // The program has finished with the last answer's lamps.
        std::this_thread::sleep_for(milliseconds(100));
        const long long flaggedBefore = flagged.count();
        const long long backBefore = back.count();
        heard = unit->arrivalCount();
        // A pad press (PRESET2 or PRESET3), left unanswered.
        const auto pressed = pads->send({0x90, static_cast<unsigned char>(55 + round % 2), 127});
        BenchPeer::Clock::time_point seen;
        if (!waitForLine(flagged, flaggedBefore, seen)) {
            std::fprintf(stderr, "bench: the program never flagged the silent unit\n");
            return 1;
        }
        flagUs.add(microsecondsBetween(pressed, seen));
        presetRequestsSent += int(unit->arrivalCount() - heard);
        heard = unit->arrivalCount();
        // Its next status request (once a second) is answered at once.
        if (!unit->waitForArrivals(heard + 1, milliseconds(3000))) {
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
