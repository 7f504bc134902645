// tarnapp-bench: measures the real TarnApp process on the JACK server named by
// JACK_DEFAULT_SERVER (bench/run.sh starts a private one) or, with
// TARN_MIDI_SERVICE=alsa, on the ALSA sequencer; or, with --echo,
// plays the echo client that gives the service's own latency floor.

#include "benchcommandline.h"
#include "echoclient.h"
#include "linkbench.h"
#include "tarnappbench.h"

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
    BenchCommandLine line(
        "Measures TarnApp on the JACK server named by JACK_DEFAULT_SERVER, or on the ALSA\n"
        "sequencer with TARN_MIDI_SERVICE=alsa (and TARNAPP_MIDI_API=alsa for the program);\n"
        "bench/run.sh sets these up and runs this. The unit's unplugging and return is\n"
        "measured by the soak (bench/run.sh --soak).");
    const TarnAppBench::Options defaults;
    const auto number = &BenchCommandLine::number;
    const QCommandLineOption echo("echo", "Play the floor's echo client between two ports.");
    const QCommandLineOption presses = number("presses", "Pad presses to time", defaults.presses);
    const QCommandLineOption flood =
        number("flood", "Messages sent to the program for the memory test", defaults.floodMessages);
    const QCommandLineOption idle =
        number("idle", "Seconds of idle CPU measurement", defaults.idleSeconds);
    const QCommandLineOption startups = number("startups", "Starts to time", defaults.startups);
    const QCommandLineOption silences =
        number("silences", "Times the unit stops answering a press and answers again", 20);
    line.parser.addOptions({echo, presses, flood, idle, startups, silences});
    line.parser.addPositionalArgument("SOURCE-PORT", "With --echo: the port to echo from.");
    line.parser.addPositionalArgument("SINK-PORT", "With --echo: the port to echo to.");
    if (const int status = line.parse(application.arguments()); status >= 0)
        return status;

    const QStringList ports = line.parser.positionalArguments();
    if (line.parser.isSet(echo) && ports.size() == 2)
        return runEcho(ports[0].toStdString(), ports[1].toStdString());
    TarnAppBench::Options options;
    options.program = line.parser.value(line.program);
    options.echoCommand = QCoreApplication::applicationFilePath();
    int rounds = 0;
    if (!line.read({{presses, options.presses, 1},
                    {flood, options.floodMessages, 1},
                    {idle, options.idleSeconds, 0},
                    {startups, options.startups, 1},
                    {silences, rounds, 0}},
                   !line.parser.isSet(echo) && ports.isEmpty()))
        return 2;

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
