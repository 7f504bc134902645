#include "commandline.h"
#include "midiportsupport.h"
#include "tarnappmainwindow.h"
#include "unixsignalquitter.h"

#include <QApplication>

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
    // nothing else was asked.
    {
        QCoreApplication plain(argc, argv);
        CommandLine early;
        early.parse(QCoreApplication::arguments(), apiChoice);
        if (early.exits() && early.exitCode() == 0)
            return early.report();
    }
    QApplication application(argc, argv);

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
