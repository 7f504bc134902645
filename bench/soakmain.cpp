// tarnapp-soak: one compressed gig through the real TarnApp process on the
// JACK server named by JACK_DEFAULT_SERVER (bench/run.sh --soak starts a
// private one) or, with TARN_MIDI_SERVICE=alsa, on the ALSA sequencer.

#include "soakrun.h"

#include <QCoreApplication>
#include <RtMidi.h>

#include <cstdio>

namespace {

const char usage[] = R"(Usage: tarnapp-soak [options]

Drives TarnApp through a compressed gig against the simulator's unit and pads
and prints a sample every so many presses; exits 1 on a loss, a leak or a
slowing down. bench/run.sh --soak sets up the MIDI service and runs this.
  --program PATH    the TarnApp executable (default: the one built with this)
  --presses N       presses in all (default 20000)
  --settings-every N  open and close the settings dialog every N presses
                    (default 5000; needs Xvfb and xdotool)
  --restarts N      on JACK, stop and start the server N times, evenly
                    spread (default 3); each must end in a complete link
                    with no device plugged in again
  --csv FILE        also write the samples as CSV
)";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    SoakRun::Options options;
    options.program = QStringLiteral(TARNAPP_EXECUTABLE);
    const QStringList args = application.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &option = args[i];
        const bool hasValue = i + 1 < args.size();
        bool valid = true;
        if (option == "--program" && hasValue)
            options.program = args[++i];
        else if (option == "--presses" && hasValue)
            options.presses = args[++i].toInt(&valid);
        else if (option == "--settings-every" && hasValue)
            options.settingsEvery = args[++i].toInt(&valid);
        else if (option == "--restarts" && hasValue)
            options.serverRestarts = args[++i].toInt(&valid);
        else if (option == "--csv" && hasValue)
            options.csv = args[++i];
        else
            valid = false;
        if (!valid || option == "--help" || options.presses < 1 || options.settingsEvery < 1) {
            std::fputs(usage, option == "--help" ? stdout : stderr);
            return option == "--help" ? 0 : 2;
        }
    }
    try {
        return SoakRun(options).run();
    } catch (const RtMidiError &error) {
        std::fprintf(stderr, "tarnapp-soak: %s (is the MIDI service running?)\n", error.what());
        return 1;
    }
}
