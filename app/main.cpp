#include "tarnappmainwindow.h"
#include "unixsignalquitter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
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
