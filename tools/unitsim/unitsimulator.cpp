#include "unitsimulator.h"

#include "jackmidiclient.h"
#include "messagequeue.h"
#include "simulatedfootcontroller.h"

#include <cstdio>

namespace {

// stdout is line-buffered, so every line goes out at once even through a pipe.
void say(const std::string &line)
{
    std::printf("%s\n", line.c_str());
}

void sayBytes(const char *prefix, const ByteVector &bytes)
{
    say(prefix + toHexString(bytes, QLatin1Char(' ')).toStdString());
}

// 1 to 6 for the commands "p1" to "p6", 0 for any other line.
int padNumber(const std::string &line)
{
    return line.size() == 2 && line[0] == 'p' && line[1] >= '1' && line[1] <= '6' ? line[1] - '0'
                                                                                  : 0;
}

// 0 to 3 for the setlist switch commands "n+", "n-", "s+", "s-"; -1 for any other line.
int setlistSwitch(const std::string &line)
{
    const char *const commands[] = {"n+", "n-", "s+", "s-"};
    for (int i = 0; i < 4; ++i) {
        if (line == commands[i])
            return i;
    }
    return -1;
}

// The song number of "song N" (1 to 128), 0 for any other line.
int songNumber(const std::string &line)
{
    if (line.rfind("song ", 0) != 0 || line.size() > 8)
        return 0;
    const std::string digits = line.substr(5);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int number = std::stoi(digits);
    return number >= 1 && number <= 128 ? number : 0;
}

} // namespace

UnitSimulator::UnitSimulator(const SimulatorOptions &options, RtMidi::Api api, MessageQueue &queue)
    : options(options), api(api), queue(queue), unit(options.serial)
{
    unit.setDelay(options.delayMs);
    unit.setDropFirst(options.dropFirst);
    plug();
}

void UnitSimulator::plug()
{
    unitPorts = std::make_unique<MidiPortPair>(
        api,
        MidiPortPair::Names{options.name, options.unitInClient(), options.unitOutClient(),
                            SimulatorOptions::unitInPort, SimulatorOptions::unitOutPort},
        true, queue, FromUnit);
    if (options.pads)
        padPorts = std::make_unique<MidiPortPair>(
            api,
            MidiPortPair::Names{options.name, options.padsInClient(), options.padsOutClient(),
                                SimulatorOptions::padsInPort, SimulatorOptions::padsOutPort},
            false, queue, FromPads);
    unit.opened();
}

void UnitSimulator::unplug()
{
    // As a cable pulled out: the ports go, the unit keeps its preset, the
    // pads go dark.
    padPorts.reset();
    unitPorts.reset();
    lateReplies.clear();
    pads = SimulatedPads();
    shownLamps.clear();
}

void UnitSimulator::printPorts()
{
    printPort(*unitPorts, true, "unit input, for the program's hardware output");
    printPort(*unitPorts, false, "unit output, for the program's hardware input");
    if (padPorts) {
        printPort(*padPorts, true, "pad lamps, for the program's remote output");
        printPort(*padPorts, false, "pads, for the program's remote input");
    }
    sayInfo();
    say("unit: type h for commands");
    printLampsIfChanged();
}

void UnitSimulator::printPort(const MidiPortPair &pair, bool input, const char *role)
{
    say("port: \"" + (input ? pair.inName() : pair.outName()) + "\" (" + role + ")" +
        (pair.wasTaken() ? ": NAME ALREADY TAKEN, the service may show ours under another; "
                           "use --name"
                         : ""));
}

void UnitSimulator::handleMessages()
{
    for (const MessageQueue::Entry &entry : queue.takeAll()) {
        if (entry.source == FromUnit) {
            sayBytes("Rcv    : ", entry.bytes);
            answer(unit.receive(entry.bytes));
        } else {
            sayBytes("PadRcv : ", entry.bytes);
            if (!pads.receive(entry.bytes))
                say("pads: ignored, not a lamp note");
        }
    }
    // After the whole batch, so the six feedback notes of one status show as one row.
    printLampsIfChanged();
}

bool UnitSimulator::handleCommand(const std::string &line)
{
    if (line.empty())
        return true;
    if (line == "q") {
        say("unit: quit");
        return false;
    }
    if (line.size() == 1 && line[0] >= '0' && line[0] <= '6') {
        answer(unit.choosePreset(line[0] - '0'));
    } else if (line == "s") {
        unit.setSilent(!unit.isSilent());
        say(unit.isSilent() ? "unit: silent" : "unit: speaking again");
    } else if (line == "u") {
        if (unitPorts) {
            unplug();
            say(options.pads ? "unit: unplugged, with the pads (type u to plug them back in)"
                             : "unit: unplugged (type u to plug it back in)");
        } else {
            try {
                plug();
                say("unit: plugged back in");
            } catch (const RtMidiError &error) {
                say(std::string("error: cannot open the ports again: ") + error.what());
            }
            printLampsIfChanged();
        }
    } else if (line.size() > 2 && line.compare(0, 2, "d ") == 0 &&
               line.find_first_not_of("0123456789", 2) == std::string::npos && line.size() < 8) {
        unit.setDelay(std::stoi(line.substr(2)));
        say("unit: answering " + std::to_string(unit.delay()) + " ms late");
    } else if (line == "i") {
        sayInfo();
    } else if (line == "h" || line == "help" || line == "?") {
        say("commands: 1..6 preset, 0 no preset, s silent on/off, d MS answer late, "
            "u unplug/plug back in, i info, p1..p6 pad, f foot switch, c pads/foot controller, q "
            "quit");
        say("  as a foot controller: p1..p6 Program Change 0..5, f pedal (CC 64 127 then 0)");
        say("  setlist: n+ n- s+ s- switches CC 80..83 (127 then 0; learn them as next/previous "
            "part/song), song N Song Select for song N (F3 N-1)");
    } else if (line == "c") {
        footController = !footController;
        say(footController ? "pads: now a foot controller (Program Change and a CC pedal)"
                           : "pads: now the pads again");
    } else if (setlistSwitch(line) >= 0 || songNumber(line)) {
        if (!options.pads)
            say("pads: not running; start with --pads");
        else if (!padPorts)
            say("pads: unplugged");
        else if (songNumber(line))
            send(*padPorts, "PadSend: ", SimulatedFootController::songSelect(songNumber(line) - 1));
        else {
            const int number = setlistSwitch(line);
            send(*padPorts, "PadSend: ", SimulatedFootController::setlistSwitch(number, true));
            send(*padPorts, "PadSend: ", SimulatedFootController::setlistSwitch(number, false));
        }
    } else if (line == "f" || padNumber(line)) {
        if (!options.pads)
            say("pads: not running; start with --pads");
        else if (!padPorts)
            say("pads: unplugged");
        else if (footController && line == "f") {
            send(*padPorts, "PadSend: ", SimulatedFootController::pedal(true));
            send(*padPorts, "PadSend: ", SimulatedFootController::pedal(false));
        } else if (footController)
            send(*padPorts, "PadSend: ", SimulatedFootController::switchPress(padNumber(line)));
        else if (line == "f")
            send(*padPorts, "PadSend: ", SimulatedPads::footSwitch());
        else
            send(*padPorts, "PadSend: ", SimulatedPads::padPress(padNumber(line)));
    } else {
        say("unknown command \"" + line + "\"; type h for commands");
    }
    return true;
}

void UnitSimulator::watchService()
{
    const std::shared_ptr<JackMidiClient> client = unitPorts ? unitPorts->jackClient() : nullptr;
    if (!client)
        return;
    std::string state = "running";
    if (client->lost())
        state = "unit: the JACK server has stopped; no MIDI moves. Restart the simulator.";
    else if (client->cyclesStopped())
        state = "unit: JACK has stopped running its clients (its graph is stalled); "
                "no MIDI moves anywhere until it runs them again";
    if (state == serviceState)
        return;
    if (state == "running") {
        if (!serviceState.empty())
            say("unit: JACK runs its clients again");
    } else {
        say(state);
    }
    serviceState = state;
}

void UnitSimulator::sayInfo()
{
    say("unit: serial " + toHexString(unit.serial(), QLatin1Char(' ')).toStdString() +
        (unit.preset() ? ", preset " + std::to_string(unit.preset()) : ", no preset") +
        (unit.isSilent() ? ", silent" : ", speaking") +
        (unit.delay() ? ", answering " + std::to_string(unit.delay()) + " ms late" : ""));
}

void UnitSimulator::answer(const SimulatedUnit::Answer &answer)
{
    say(answer.note);
    if (answer.reply.empty() || !unitPorts)
        return;
    if (answer.delayMs > 0)
        lateReplies.emplace_back(Clock::now() + std::chrono::milliseconds(answer.delayMs),
                                 answer.reply);
    else
        send(*unitPorts, "Send   : ", answer.reply);
}

int UnitSimulator::sendDueReplies()
{
    while (!lateReplies.empty()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            lateReplies.front().first - Clock::now());
        if (wait.count() > 0)
            return int(wait.count());
        if (unitPorts)
            send(*unitPorts, "Send   : ", lateReplies.front().second);
        lateReplies.pop_front();
    }
    return -1;
}

void UnitSimulator::send(MidiPortPair &pair, const char *prefix, const ByteVector &bytes)
{
    try {
        pair.send(bytes);
        sayBytes(prefix, bytes);
    } catch (const RtMidiError &error) {
        say(std::string("error: send failed: ") + error.what());
    }
}

void UnitSimulator::printLampsIfChanged()
{
    if (!padPorts || pads.lampRow() == shownLamps)
        return;
    shownLamps = pads.lampRow();
    say(shownLamps);
}
