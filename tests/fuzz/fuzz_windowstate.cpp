// Fuzz target: a window-state file of arbitrary bytes, read the way the
// program reads it: a main window is built, initialised (which applies the
// stored font size, size and position) and destroyed (which writes the file
// back) for every input.
#include "fuzzenvironment.h"
#include "tarnappmainwindow.h"

#include <QDir>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>

namespace {

// Made once and never destroyed: libFuzzer ends the process with exit().
FuzzEnvironment *environment = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    environment = new FuzzEnvironment((*argv)[0]);
    QDir().mkpath(QFileInfo(TarnAppMainWindow::windowStateFilePath()).path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    environment->writeInputFile(TarnAppMainWindow::windowStateFilePath(), data, size);
    {
        TarnAppMainWindow window;
        window.initialize();
    }
    FuzzEnvironment::settle();
    return 0;
}
