// tarnapp-bench: measures the real TarnApp process on the JACK server named by
// JACK_DEFAULT_SERVER (bench/run.sh starts a private one) or, with
// TARN_MIDI_SERVICE=alsa, on the ALSA sequencer; or, with --echo,
// plays the echo client that gives the service's own latency floor.

#include "echoclient.h"
#include "linkbench.h"
#include "reconnectbench.h"
#include "tarnappbench.h"

#include <QCoreApplication>
#include <RtMidi.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

const char usage[] = R"(Usage: tarnapp-bench [options]
       tarnapp-bench --echo SOURCE-PORT SINK-PORT

Measures TarnApp on the JACK server named by JACK_DEFAULT_SERVER, or on the
ALSA sequencer with TARN_MIDI_SERVICE=alsa (and TARNAPP_MIDI_API=alsa for the
program); bench/run.sh sets these up and runs this. Options:
  --program PATH    the TarnApp executable (default: the one built with this)
  --presses N       pad presses to time (default 1000)
  --flood N         messages sent to the program for the memory test (default 100000)
  --idle S          seconds of idle CPU measurement (default 10)
  --startups N      starts to time (default 5)
  --returns N       times the unit is unplugged and plugged back in (default 20)
  --silences N      times the unit stops answering a press and answers again
                    (default 20)
)";

// The floor's echo client, until SIGTERM or SIGINT.
int runEcho(const char *sourcePort, const char *sinkPort)
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
    if (argc == 4 && QByteArray(argv[1]) == "--echo")
        return runEcho(argv[2], argv[3]);

    QCoreApplication application(argc, argv);
    TarnAppBench::Options options;
    options.program = QStringLiteral(TARNAPP_EXECUTABLE);
    options.echoCommand = QCoreApplication::applicationFilePath();
    const QStringList args = application.arguments().mid(1);
    int returns = 20;
    int silences = 20;
    for (int i = 0; i < args.size(); ++i) {
        const QString &option = args[i];
        const bool hasValue = i + 1 < args.size();
        bool number = true;
        if (option == "--program" && hasValue)
            options.program = args[++i];
        else if (option == "--presses" && hasValue)
            options.presses = args[++i].toInt(&number);
        else if (option == "--flood" && hasValue)
            options.floodMessages = args[++i].toInt(&number);
        else if (option == "--idle" && hasValue)
            options.idleSeconds = args[++i].toInt(&number);
        else if (option == "--startups" && hasValue)
            options.startups = args[++i].toInt(&number);
        else if (option == "--returns" && hasValue)
            returns = args[++i].toInt(&number);
        else if (option == "--silences" && hasValue)
            silences = args[++i].toInt(&number);
        else
            number = false;
        if (!number || option == "--help") {
            std::fputs(usage, option == "--help" ? stdout : stderr);
            return option == "--help" ? 0 : 2;
        }
    }
    if (options.startups < 1 || options.presses < 1 || options.floodMessages < 1) {
        std::fputs(usage, stderr);
        return 2;
    }

    try {
        int status = TarnAppBench(options).run();
        if (status == 0 && returns > 0)
            status = ReconnectBench(options.program, returns).run();
        if (status == 0 && silences > 0)
            status = LinkBench(options.program, silences).run();
        return status;
    } catch (const RtMidiError &error) {
        std::fprintf(stderr,
                     "tarnapp-bench: %s\n(is the JACK server named by JACK_DEFAULT_SERVER "
                     "running? bench/run.sh starts one)\n",
                     error.what());
        return 1;
    }
}
