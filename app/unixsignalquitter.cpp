#include "unixsignalquitter.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A signal handler can reach nothing but plain data; this is its only link.
int signalSockets[2] = {-1, -1};
} // namespace

UnixSignalQuitter::UnixSignalQuitter(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return;
    notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &UnixSignalQuitter::quitOnSignal);

    struct sigaction action = {};
    action.sa_handler = &UnixSignalQuitter::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

UnixSignalQuitter::~UnixSignalQuitter()
{
    if (signalSockets[0] < 0)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    delete notifier;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void UnixSignalQuitter::handleSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // write() is async-signal-safe; a full socket means a quit is pending anyway.
    [[maybe_unused]] ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

void UnixSignalQuitter::quitOnSignal()
{
    char byte;
    [[maybe_unused]] ssize_t got = ::read(signalSockets[1], &byte, 1);
    QCoreApplication::quit();
}
