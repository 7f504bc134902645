#include "tarnappmainwindow.h"
#include "unixsignalquitter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int result;
    {
        TarnAppMainWindow window;
        UnixSignalQuitter quitter;
        window.initialize();
        window.show();
        result = application.exec();
        // The window goes here, before the application: it writes its state
        // and closes its ports on the way out.
    }
    return result;
}
