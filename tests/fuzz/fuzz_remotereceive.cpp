// Fuzz target: the remote controller's messages reaching the main window
// (pads, foot switch and everything else a controller might send). The first
// byte of an input sets the scene, the rest is cut into messages at their
// status bytes.
#include "fuzzbytes.h"
#include "fuzzcheck.h"
#include "fuzzenvironment.h"
#include "fuzzwindow.h"
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

void receiveFromUnit(TarnAppMainWindow &window, const FuzzBytes::Bytes &bytes)
{
    QMidiMessage message;
    message.decode(bytes, 0.0);
    window.onMidiHardReceive(&message);
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
    if (size == 0)
        return 0;
    TarnAppMainWindow &window = fuzzWindow->window();
    fuzzWindow->reconnect();

    // Scene byte: bit 0, the unit has answered (its serial number is held and
    // the preset buttons can be pressed); bits 1-3, the foot-switch list's
    // position (7: no current entry); bits 4-6, the preset byte of the unit's
    // answer.
    const uint8_t scene = data[0];
    if (scene & 0x01) {
        receiveFromUnit(window, {0xF0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x01,
                                 static_cast<unsigned char>((scene >> 4) & 0x07), 0xF7});
    }
    const int position = (scene >> 1) & 0x07;
    fuzzWindow->setFootSwitchPosition(position == 7 ? -1 : position);

    const int status = window.linkStatus();
    const int preset = window.reportedPreset();
    const FuzzBytes::Bytes serial = window.heldSerial();
    for (const FuzzBytes::Bytes &bytes : FuzzBytes::splitAtStatusBytes(data + 1, size - 1)) {
        QMidiMessage message;
        message.decode(bytes, 0.0);
        window.onMidiRemoteReceive(&message);
        // Selecting a preset only asks the unit; nothing here changes until
        // the unit answers.
        FUZZ_CHECK(window.linkStatus() == status);
        FUZZ_CHECK(window.reportedPreset() == preset);
        FUZZ_CHECK(window.heldSerial() == serial);
    }
    FuzzEnvironment::settle();
    return 0;
}
