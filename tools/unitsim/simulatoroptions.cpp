#include "simulatoroptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <cctype>
#include <tuple>

SimulatorOptions::SimulatorOptions() : serial{0x12, 0x34, 0x56, 0x78, 0x01, 0x02, 0x03, 0x04} {}

namespace {

// The argument as given for an option QCommandLineParser did not know.
QString given(const QStringList &args, const QString &name)
{
    for (const QString &arg : args) {
        if (arg.startsWith('-') && arg.mid(arg.startsWith("--") ? 2 : 1).startsWith(name))
            return arg;
    }
    return name;
}

// A number 0 to limit, written in digits only.
bool number(const QString &text, int limit, int &value)
{
    bool ok = text.size() < 6 && !text.isEmpty() && !text.contains(QRegularExpression("[^0-9]"));
    value = ok ? text.toInt() : 0;
    return ok && value <= limit;
}

} // namespace

SimulatorOptions::Outcome SimulatorOptions::parse(const QStringList &args)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption padsOption("pads");
    const QCommandLineOption apiOption("api", {}, "API");
    const QCommandLineOption nameOption("name", {}, "NAME");
    const QCommandLineOption serialOption("serial", {}, "S");
    const QCommandLineOption delayOption("delay", {}, "MS");
    const QCommandLineOption dropOption("drop", {}, "N");
    parser.addOptions(
        {help, padsOption, apiOption, nameOption, serialOption, delayOption, dropOption});
    const auto fail = [this](const QString &text) {
        errorText = text.toStdString();
        return Outcome::Error;
    };
    if (!parser.parse(QStringList("tarnapp-unitsim") + args)) {
        if (!parser.unknownOptionNames().isEmpty())
            return fail("unknown option \"" + given(args, parser.unknownOptionNames()[0]) +
                        "\" (see --help)");
        const QRegularExpressionMatch missing =
            QRegularExpression("^Missing value after '(.*)'").match(parser.errorText());
        const QRegularExpressionMatch unexpected =
            QRegularExpression("^Unexpected value after '(.*)'").match(parser.errorText());
        if (missing.hasMatch())
            return fail("option " + missing.captured(1) + " needs a value");
        if (unexpected.hasMatch())
            return fail("option " + unexpected.captured(1) + " takes no value");
        return fail(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty())
        return fail("unknown option \"" + parser.positionalArguments()[0] + "\" (see --help)");
    if (parser.isSet(help))
        return Outcome::Help;
    pads = parser.isSet(padsOption);
    if (parser.isSet(apiOption)) {
        const QString value = parser.value(apiOption);
        if (value != "alsa" && value != "jack")
            return fail("invalid --api \"" + value + "\": expected alsa or jack");
        api = value == "alsa" ? Api::Alsa : Api::Jack;
    }
    const std::tuple<const QCommandLineOption *, int, int *> numbers[] = {
        {&delayOption, 60000, &delayMs}, {&dropOption, 1000, &dropFirst}};
    for (const auto &[option, limit, target] : numbers) {
        const QString value = parser.value(*option);
        if (parser.isSet(*option) && !number(value, limit, *target))
            return fail("invalid --" + option->names()[0] + " \"" + value + "\": expected 0 to " +
                        QString::number(limit));
    }
    if (parser.isSet(nameOption)) {
        if (parser.value(nameOption).isEmpty())
            return fail("--name must not be empty");
        name = parser.value(nameOption).toStdString();
    }
    if (parser.isSet(serialOption) &&
        !parseSerial(parser.value(serialOption).toStdString(), serial))
        return fail("invalid serial number \"" + parser.value(serialOption) +
                    "\": expected eight hexadecimal bytes 00 to 7F, e.g. 12-34-56-78-01-02-03-04");
    return Outcome::Run;
}

bool SimulatorOptions::parseSerial(const std::string &text, ByteVector &serial)
{
    ByteVector bytes;
    size_t i = 0;
    while (i < text.size()) {
        if (!bytes.empty()) {
            if (text[i] != '-' && text[i] != ':' && text[i] != ' ')
                return false;
            ++i;
        }
        if (i + 2 > text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return false;
        const unsigned long value = std::stoul(text.substr(i, 2), nullptr, 16);
        // Data bytes of a SysEx message are seven-bit.
        if (value >= 0x80)
            return false;
        bytes.push_back(static_cast<unsigned char>(value));
        i += 2;
    }
    if (bytes.size() != 8)
        return false;
    serial = bytes;
    return true;
}

std::string SimulatorOptions::usage()
{
    return R"(Usage: tarnapp-unitsim [options]

Plays the hardware unit (and, with --pads, a pad controller) on virtual MIDI ports.

Options:
  --api alsa|jack   MIDI API; by default ALSA where it works, JACK otherwise.
  --name NAME       the client name, or base of the client names (default
                    TarnUnitSim).
  --serial S        the unit's serial number, eight bytes 00..7F written as
                    12-34-56-78-01-02-03-04 (the default); ":" or spaces may
                    separate them too. Invalid input exits with code 2.
  --pads            add the pad controller's port pair.
  --delay MS        answer every request MS milliseconds late (0 to 60000;
                    default 0), as a slow unit does.
  --drop N          lose the first N requests after each opening of the
                    ports (start, and each plug-in with u), as a unit still
                    booting does; TarnApp asks again.
  -h, --help        show this text.

Ports, on JACK all of one client:
  "NAME:unit-in"           unit input: the program's hardware output port
  "NAME:unit-out"          unit output: the program's hardware input port
  "NAME:pads-in"           pad lamps: the program's remote output port
  "NAME:pads-out"          pads and foot switch: the program's remote input port
On ALSA each is a client of its own, listed with the client and port numbers
behind: "NAME In:unit-in", "NAME Out:unit-out", "NAME Pads In:pads-in" and
"NAME Pads Out:pads-out".

The unit answers (S = its eight serial bytes, all values hexadecimal):
  serial request F0 00 11 22 0A 00 00 00 00 02 00 F7
      -> serial reply F0 S 02 00 F7 (type 02, not a status reply)
  init status request F0 S 02 01 F7
      -> status reply F0 S 01 nn F7 (nn = current preset 01..06, 00 for none)
  preset request F0 S 02 06 pp 07 F7 (pp 00..05; others are ignored)
      -> switches to preset pp+1, status reply F0 S 01 nn F7
Requests for another serial number and every other message are ignored
and reported. With the default serial the replies are
  F0 12 34 56 78 01 02 03 04 02 00 F7 and F0 12 34 56 78 01 02 03 04 01 nn F7.

Commands, one per line on standard input:
  1 .. 6    choose that preset on the unit's front panel (sends a status reply)
  0         choose no preset (status reply with 00)
  s         toggle silent: a silent unit neither answers nor acts on requests,
            and a front panel choice sends nothing; s again and it answers
  d MS      answer MS milliseconds late from now on (d 0: at once)
  i         show the unit's serial number, preset and silence
  p1 .. p6  press pad 1..6: Note On 54..59 velocity 127, channel 1 (--pads)
  f         press the foot switch: Note On 69 velocity 0, channel 1 (--pads)
  c         switch the pads to a foot controller and back: then p1 .. p6 send
            Program Change 0..5 and f a pedal, CC 64 at 127 then 0 (--pads)
  n+ n-     setlist switches for the next / previous part: CC 80 / CC 81,
  s+ s-     and for the next / previous song: CC 82 / CC 83; each sends 127
            then 0 on channel 1; learn them in the settings (--pads)
  song N    MIDI Song Select for song N, 1..128: F3 N-1 (--pads)
  u         unplug the unit (and the pads), or plug them back in
  h         show the commands
  q         quit (so do SIGINT and SIGTERM; end of input does not)

What the musician sees when the unit does not answer (s): a pressed button
turns dark amber at once (asked for, not confirmed); TarnApp asks once more,
and within twice the answer time (ConfirmTimeout in its setting file, 300 ms
by default) the hardware lamp turns red and the status line says "The unit is
not answering". The buttons stay usable and keep the last preset the unit
confirmed. TarnApp asks for the unit's status once a second; type s again and
within a second the lamp is yellow, the status line "Complete : [...]" and
the buttons show the unit's preset. Its debug output says "Link   : no answer
to preset N, asking again", "Link   : unit not answering" and "Link   : unit
answering again". A request that is only lost (--drop) is asked again
without any change on the screen.

Output, one line each: "Rcv    : " and "Send   : " with the unit's traffic in
hexadecimal, "PadRcv : " and "PadSend: " with the pad controller's, notes
starting "unit:" or "pads:"; the lamp row "pads: [ ] [#] [ ] [ ] [ ] [ ]" is
shown whenever it changes.
)";
}
