// tarnapp-unitsim: plays the hardware unit, and optionally a pad controller, on virtual MIDI
// ports, driven by command lines on standard input.

#include "messagequeue.h"
#include "simulatoroptions.h"
#include "unitsimulator.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int signal)
{
    stopSignal = signal;
}

bool compiled(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

void requireUsable(RtMidi::Api api)
{
    if (!compiled(api))
        throw RtMidiError("this RtMidi library was built without that API");
}

// ALSA where it works, JACK otherwise, unless the options force one.
std::unique_ptr<UnitSimulator> openSimulator(const SimulatorOptions &options, MessageQueue &queue)
{
    using Api = SimulatorOptions::Api;
    const RtMidi::Api forced = options.api == Api::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
    if (options.api != Api::Auto) {
        requireUsable(forced);
        return std::make_unique<UnitSimulator>(options, forced, queue);
    }
    if (!compiled(RtMidi::UNIX_JACK)) {
        requireUsable(RtMidi::LINUX_ALSA);
        return std::make_unique<UnitSimulator>(options, RtMidi::LINUX_ALSA, queue);
    }
    if (compiled(RtMidi::LINUX_ALSA)) {
        try {
            return std::make_unique<UnitSimulator>(options, RtMidi::LINUX_ALSA, queue);
        } catch (const RtMidiError &error) {
            std::printf("unit: ALSA failed (%s); trying JACK\n", error.what());
        }
    }
    return std::make_unique<UnitSimulator>(options, RtMidi::UNIX_JACK, queue);
}

std::string trimmed(const std::string &text)
{
    const char *blank = " \t\r\n";
    const size_t first = text.find_first_not_of(blank);
    return first == std::string::npos
               ? std::string()
               : text.substr(first, text.find_last_not_of(blank) + 1 - first);
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // With standard input closed, fd 0 would go to the next file opened (our wake pipe).
    if (fcntl(STDIN_FILENO, F_GETFD) == -1)
        open("/dev/null", O_RDONLY);

    SimulatorOptions options;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (options.parse(arguments)) {
    case SimulatorOptions::Outcome::Help:
        std::fputs(SimulatorOptions::usage().c_str(), stdout);
        return 0;
    case SimulatorOptions::Outcome::Error:
        std::fprintf(stderr, "tarnapp-unitsim: %s\n", options.error().c_str());
        return 2;
    case SimulatorOptions::Outcome::Run:
        break;
    }

    // No SA_RESTART: a signal interrupts poll() so the loop sees the flag at once.
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    MessageQueue queue;
    std::unique_ptr<UnitSimulator> simulator;
    try {
        simulator = openSimulator(options, queue);
    } catch (const RtMidiError &error) {
        std::fprintf(stderr,
                     "tarnapp-unitsim: cannot open the MIDI ports: %s\n"
                     "(on JACK: is the server named by JACK_DEFAULT_SERVER running?)\n",
                     error.what());
        return 1;
    }
    simulator->printPorts();

    std::string pending;
    bool inputOpen = true;
    bool running = true;
    while (running && !stopSignal) {
        pollfd fds[2] = {{queue.wakeFd(), POLLIN, 0}, {inputOpen ? STDIN_FILENO : -1, POLLIN, 0}};
        const int due = simulator->sendDueReplies();
        if (poll(fds, 2, due >= 0 ? std::min(due, 200) : 200) < 0 && errno != EINTR) {
            std::perror("tarnapp-unitsim: poll");
            return 1;
        }
        simulator->handleMessages();
        simulator->sendDueReplies();
        simulator->watchService();
        if (!fds[1].revents)
            continue;
        char buffer[256];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count > 0) {
            pending.append(buffer, size_t(count));
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
            // A demo may run us with no input at all: only q or a signal ends the simulator.
            inputOpen = false;
            pending += '\n';
            std::printf("unit: end of input; SIGINT or SIGTERM ends the simulator\n");
        }
        size_t end;
        while (running && (end = pending.find('\n')) != std::string::npos) {
            const std::string line = trimmed(pending.substr(0, end));
            pending.erase(0, end + 1);
            running = simulator->handleCommand(line);
        }
    }
    if (stopSignal)
        std::printf("unit: stopped by signal %d\n", int(stopSignal));
    return 0;
}
