// Fuzz target: the unit's reply decoder and the whole path in the main
// window that consumes what arrives on the hardware input (traffic log,
// serial capture with its setting-file save, status replies, button styles
// and the feedback notes to the remote controller). Each input is one burst
// of messages from the unit on a freshly started link.
#include "fuzzbytes.h"
#include "fuzzcheck.h"
#include "fuzzenvironment.h"
#include "fuzzwindow.h"
#include "hardmessages.h"
#include "qmidimessage.h"
#include "tarnappmainwindow.h"

#include <cstddef>
#include <cstdint>

namespace {

// Made once and never destroyed: libFuzzer ends the process with exit(), and
// tearing Qt and JACK clients down in static destructors is nothing the
// program ever does.
FuzzEnvironment *environment = nullptr;
FuzzWindow *fuzzWindow = nullptr;

void checkDecoding(const FuzzBytes::Bytes &bytes)
{
    const HardReply reply = parseHardReply(bytes);
    FUZZ_CHECK(reply.serial.size() == (bytes.size() < 10 ? 0u : 8u));
    FUZZ_CHECK(reply.isStatus == (bytes.size() >= 11 && bytes[9] == 0x01));
    FUZZ_CHECK(reply.preset >= -1 && reply.preset <= 254);
    FUZZ_CHECK(bytes.size() > 11 || reply.preset == -1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    environment = new FuzzEnvironment((*argv)[0]);
    fuzzWindow = new FuzzWindow;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TarnAppMainWindow &window = fuzzWindow->window();
    fuzzWindow->reconnect();
    for (const FuzzBytes::Bytes &bytes : FuzzBytes::splitAfterSysExEnd(data, size)) {
        checkDecoding(bytes);
        QMidiMessage message;
        message.decode(bytes, 0.0);
        window.onMidiHardReceive(&message);

        FUZZ_CHECK(window.reportedPreset() >= -2 && window.reportedPreset() <= 5);
        FUZZ_CHECK(window.heldSerial().empty() || window.heldSerial().size() == 8);
        if (fuzzWindow->portsOpen())
            FUZZ_CHECK(window.linkStatus() != TarnAppMainWindow::NoPort);
        else
            FUZZ_CHECK(window.linkStatus() == TarnAppMainWindow::NoPort);
    }
    FuzzEnvironment::settle();
    return 0;
}
