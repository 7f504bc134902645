// tarnapp-soak: one compressed gig through the real TarnApp process on the
// JACK server named by JACK_DEFAULT_SERVER (bench/run.sh --soak starts a
// private one) or, with TARN_MIDI_SERVICE=alsa, on the ALSA sequencer.

#include "benchcommandline.h"
#include "soakrun.h"

#include <QCoreApplication>
#include <RtMidi.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    BenchCommandLine line(
        "Drives TarnApp through a compressed gig against the simulator's unit and pads and\n"
        "prints a sample every so many presses; exits 1 on a loss, a leak or a slowing down.\n"
        "bench/run.sh --soak sets up the MIDI service and runs this.");
    const SoakRun::Options defaults;
    const auto number = &BenchCommandLine::number;
    const QCommandLineOption presses = number("presses", "Presses in all", defaults.presses);
    const QCommandLineOption replugs =
        number("replug-every", "Unplug the unit every N presses, and time its return",
               defaults.unitReplugEvery);
    const QCommandLineOption settings =
        number("settings-every",
               "Open and close the settings dialog every N presses (needs Xvfb and xdotool)",
               defaults.settingsEvery);
    const QCommandLineOption restarts =
        number("restarts",
               "On JACK, stop and start the server N times, evenly spread; each must end in a "
               "complete link with no device plugged in again",
               defaults.serverRestarts);
    const QCommandLineOption csv("csv", "Also write the samples as CSV.", "FILE");
    line.parser.addOptions({presses, replugs, settings, restarts, csv});
    if (const int status = line.parse(application.arguments()); status >= 0)
        return status;

    SoakRun::Options options;
    options.program = line.parser.value(line.program);
    options.csv = line.parser.value(csv);
    if (!line.read({{presses, options.presses, 1},
                    {replugs, options.unitReplugEvery, 1},
                    {settings, options.settingsEvery, 1},
                    {restarts, options.serverRestarts, 0}},
                   line.parser.positionalArguments().isEmpty()))
        return 2;
    try {
        return SoakRun(options).run();
    } catch (const RtMidiError &error) {
        std::fprintf(stderr, "tarnapp-soak: %s (is the MIDI service running?)\n", error.what());
        return 1;
    }
}
