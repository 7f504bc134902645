// Fuzz target: the main window receiving the unit's and the pads' messages
// interleaved. The first byte sets the foot-switch list and whether the link
// starts afresh; the rest is cut at status bytes, SysEx going to the
// hardware input and everything else to the remote one.

#include "fuzzharness.h"
#include "qmidimessage.h"

#include <QComboBox>
#include <QPushButton>

static FuzzHarness *harness = nullptr;

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    harness = new FuzzHarness(*argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    TarnAppMainWindow &window = harness->window();
    HardwareLink &link = window.link();
    if (data[0] & 0x80) { // as a reconnect from the settings dialog does
        link.requestSerial();
        window.updateStatusDisplay();
    }
    auto *footSwitch = window.findChild<QComboBox *>("comboFootSwitchPreset");
    footSwitch->setCurrentIndex(data[0] % 8 - 1);
    // Each message starts at a status byte; leading data bytes form one too.
    for (size_t start = 1, end = 2; start < size; start = end++) {
        while (end < size && data[end] < 0x80)
            ++end;
        const std::vector<unsigned char> bytes(data + start, data + end);
        QMidiMessage message;
        message.decode(bytes, 0.0);
        const HardwareLink::HardStatus status = link.hardStatus();
        const int preset = link.currentPreset();
        if (bytes[0] == 0xF0) {
            link.onMidiHardReceive(&message);
        } else {
            window.pads().onMidiRemoteReceive(&message);
            // A pad or the foot switch only asks the unit; nothing changes here.
            FUZZ_CHECK(link.hardStatus() == status && link.currentPreset() == preset);
        }
        FUZZ_CHECK(link.currentPreset() >= -2 && link.currentPreset() <= 5);
        // The buttons can be pressed exactly when the unit's serial is held.
        FUZZ_CHECK(window.findChild<QPushButton *>("pushPreset1")->isEnabled() ==
                   link.takesPresets());
    }
    harness->settle();
    return 0;
}
