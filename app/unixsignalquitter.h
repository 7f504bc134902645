#ifndef UNIXSIGNALQUITTER_H
#define UNIXSIGNALQUITTER_H

#include <QObject>

class QSocketNotifier;

// Ends the event loop on SIGINT and SIGTERM as a window close would, so the
// window state is written and the ports closed. The handler only writes a
// byte to a socket pair; the GUI thread reads it and quits.
class UnixSignalQuitter : public QObject
{
    Q_OBJECT
public:
    explicit UnixSignalQuitter(QObject *parent = nullptr);
    ~UnixSignalQuitter() override;

private:
    static void handleSignal(int signalNumber);
    void quitOnSignal();

    QSocketNotifier *notifier = nullptr;
};

#endif
