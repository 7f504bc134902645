#include "commandline.h"
#include "midiportsupport.h"
#include "tarnappmainwindow.h"
#include "unixsignalquitter.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// A mistake on the command line found before the GUI's application object
// existed, and the message handler in place before it.
const CommandLine *pendingMistake = nullptr;
QtMessageHandler qtHandler = nullptr;

// Without a display the GUI's application object stops the process (abort,
// status 134). With a mistake on the command line, the mistake is the reason
// to give, with its status, as with a display; Qt's lines on the way are not.
void reportMistakeInstead(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type != QtFatalMsg)
        return;
    const int status = pendingMistake->report();
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace

int main(int argc, char *argv[])
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // Qt 5 draws at 1x on dense screens unless told before the application
    // object exists; Qt 6 scales by itself.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
    const QString apiChoice = qEnvironmentVariable("TARNAPP_MIDI_API");
    // Help and the version need no display, without which the GUI's
    // application object stops the process: a plain one answers them when
    // nothing else was asked. A mistake is told once Qt's application object
    // has taken out its own options (some may not be known here), or in its
    // place should that object stop the process.
    CommandLine early;
    {
        QCoreApplication plain(argc, argv);
        early.parse(QCoreApplication::arguments(), apiChoice);
    }
    if (early.exits() && early.exitCode() == 0)
        return early.report();
    if (early.exits()) {
        pendingMistake = &early;
        qtHandler = qInstallMessageHandler(reportMistakeInstead);
    }
    QApplication application(argc, argv);
    if (pendingMistake)
        qInstallMessageHandler(qtHandler);

    // With Qt's own options taken out. Before the window: a mistyped option
    // must not open any MIDI port.
    CommandLine commandLine;
    commandLine.parse(QCoreApplication::arguments(), apiChoice);
    if (commandLine.exits())
        return commandLine.report();
    MidiPortSupport::setPreferredApi(commandLine.midiApi());

    int result;
    {
        // Made first so that it goes last: a second signal while the window
        // writes its state on the way out must not kill the program.
        UnixSignalQuitter quitter;
        TarnAppMainWindow window;
        window.initialize();
        window.show();
        result = application.exec();
        // The window goes here, before the application: it writes its state
        // and closes its ports on the way out.
    }
    return result;
}
