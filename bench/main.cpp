// tarnapp-bench: measures the real TarnApp process on the JACK server named by
// JACK_DEFAULT_SERVER (bench/run.sh starts a private one) or, with
// TARN_MIDI_SERVICE=alsa, on the ALSA sequencer; or, with --echo,
// plays the echo client that gives the service's own latency floor.

#include "echoclient.h"
#include "linkbench.h"
#include "tarnappbench.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <RtMidi.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The floor's echo client, until SIGTERM or SIGINT.
int runEcho(const std::string &sourcePort, const std::string &sinkPort)
{
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    // Blocked before the library starts its threads, so they inherit the mask.
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    try {
        EchoClient echo(sourcePort, sinkPort);
        std::printf("ready\n");
        std::fflush(stdout);
        int signal = 0;
        sigwait(&stop, &signal);
    } catch (const RtMidiError &error) {
        std::fprintf(stderr, "tarnapp-bench --echo: %s\n", error.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Measures TarnApp on the JACK server named by JACK_DEFAULT_SERVER, or on the ALSA\n"
        "sequencer with TARN_MIDI_SERVICE=alsa (and TARNAPP_MIDI_API=alsa for the program);\n"
        "bench/run.sh sets these up and runs this. The unit's unplugging and return is\n"
        "measured by the soak (bench/run.sh --soak).");
    const TarnAppBench::Options defaults;
    // A whole number N with its default.
    const auto number = [](const char *name, const char *text, int value) {
        return QCommandLineOption(name, QString("%1 (default %2).").arg(text).arg(value), "N",
                                  QString::number(value));
    };
    const QCommandLineOption echo("echo", "Play the floor's echo client between two ports.");
    const QCommandLineOption program("program",
                                     "The TarnApp executable (default: the one built with this).",
                                     "PATH", TARNAPP_EXECUTABLE);
    const QCommandLineOption presses = number("presses", "Pad presses to time", defaults.presses);
    const QCommandLineOption flood =
        number("flood", "Messages sent to the program for the memory test", defaults.floodMessages);
    const QCommandLineOption idle =
        number("idle", "Seconds of idle CPU measurement", defaults.idleSeconds);
    const QCommandLineOption startups = number("startups", "Starts to time", defaults.startups);
    const QCommandLineOption silences =
        number("silences", "Times the unit stops answering a press and answers again", 20);
    parser.addOptions({echo, program, presses, flood, idle, startups, silences});
    parser.addPositionalArgument("SOURCE-PORT", "With --echo: the port to echo from.");
    parser.addPositionalArgument("SINK-PORT", "With --echo: the port to echo to.");
    const QCommandLineOption &help = parser.addHelpOption();
    if (!parser.parse(application.arguments()) || parser.isSet(help)) {
        const QString error = parser.errorText();
        std::fputs(qPrintable((error.isEmpty() ? "" : error + '\n') + parser.helpText()),
                   error.isEmpty() ? stdout : stderr);
        return error.isEmpty() ? 0 : 2;
    }

    const QStringList ports = parser.positionalArguments();
    if (parser.isSet(echo) && ports.size() == 2)
        return runEcho(ports[0].toStdString(), ports[1].toStdString());
    TarnAppBench::Options options;
    options.program = parser.value(program);
    options.echoCommand = QCoreApplication::applicationFilePath();
    int rounds = 0;
    bool valid = !parser.isSet(echo) && ports.isEmpty();
    const std::pair<const QCommandLineOption *, int *> numbers[] = {
        {&presses, &options.presses},
        {&flood, &options.floodMessages},
        {&idle, &options.idleSeconds},
        {&startups, &options.startups},
        {&silences, &rounds}};
    for (const auto &[option, target] : numbers) {
        bool number = false;
        *target = parser.value(*option).toInt(&number);
        valid = valid && number && *target >= (option == &idle || option == &silences ? 0 : 1);
    }
    if (!valid) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }

    try {
        int status = TarnAppBench(options).run();
        if (status == 0 && rounds > 0)
            status = LinkBench(options.program, rounds).run();
        return status;
    } catch (const RtMidiError &error) {
        std::fprintf(stderr,
                     "tarnapp-bench: %s\n(is the JACK server named by JACK_DEFAULT_SERVER "
                     "running? bench/run.sh starts one)\n",
                     error.what());
        return 1;
    }
}
