// tarnapp-soak: one compressed gig through the real TarnApp process on the
// JACK server named by JACK_DEFAULT_SERVER (bench/run.sh --soak starts a
// private one) or, with TARN_MIDI_SERVICE=alsa, on the ALSA sequencer.

#include "soakrun.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <RtMidi.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Drives TarnApp through a compressed gig against the simulator's unit and pads and\n"
        "prints a sample every so many presses; exits 1 on a loss, a leak or a slowing down.\n"
        "bench/run.sh --soak sets up the MIDI service and runs this.");
    const SoakRun::Options defaults;
    // A whole number N with its default.
    const auto number = [](const char *name, const char *text, int value) {
        return QCommandLineOption(name, QString("%1 (default %2).").arg(text).arg(value), "N",
                                  QString::number(value));
    };
    const QCommandLineOption program("program",
                                     "The TarnApp executable (default: the one built with this).",
                                     "PATH", TARNAPP_EXECUTABLE);
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
    parser.addOptions({program, presses, replugs, settings, restarts, csv});
    const QCommandLineOption &help = parser.addHelpOption();
    if (!parser.parse(application.arguments()) || parser.isSet(help)) {
        const QString error = parser.errorText();
        std::fputs(qPrintable((error.isEmpty() ? "" : error + '\n') + parser.helpText()),
                   error.isEmpty() ? stdout : stderr);
        return error.isEmpty() ? 0 : 2;
    }

    SoakRun::Options options;
    options.program = parser.value(program);
    options.csv = parser.value(csv);
    bool valid = parser.positionalArguments().isEmpty();
    const std::pair<const QCommandLineOption *, int *> numbers[] = {
        {&presses, &options.presses},
        {&replugs, &options.unitReplugEvery},
        {&settings, &options.settingsEvery},
        {&restarts, &options.serverRestarts}};
    for (const auto &[option, target] : numbers) {
        bool number = false;
        *target = parser.value(*option).toInt(&number);
        valid = valid && number && *target >= (option == &restarts ? 0 : 1);
    }
    if (!valid) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }
    try {
        return SoakRun(options).run();
    } catch (const RtMidiError &error) {
        std::fprintf(stderr, "tarnapp-soak: %s (is the MIDI service running?)\n", error.what());
        return 1;
    }
}
