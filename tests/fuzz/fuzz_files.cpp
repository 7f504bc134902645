// Fuzz target: the program's two files of arbitrary bytes. First byte even:
// a setting file, loaded, saved and loaded again, which must give the same
// record. Odd: a window-state file, applied by a window that is built,
// initialised and destroyed (which writes the file back).

#include "appsetting.h"
#include "fuzzharness.h"
#include "tarnappmainwindow.h"

namespace {
FuzzHarness *harness = nullptr;

bool sameRecord(const AppSetting &a, const AppSetting &b)
{
    for (int i = 0; i < AppSetting::presetCount; ++i)
        if (a.presetName(i) != b.presetName(i))
            return false;
    return a.hardwareMidiInPort() == b.hardwareMidiInPort() &&
           a.hardwareMidiOutPort() == b.hardwareMidiOutPort() &&
           a.remoteMidiInPort() == b.remoteMidiInPort() &&
           a.remoteMidiOutPort() == b.remoteMidiOutPort() &&
           a.footSwitchIndex() == b.footSwitchIndex() && a.dispType() == b.dispType();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    harness = new FuzzHarness((*argv)[0], false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] % 2) {
        harness->writeFile(TarnAppMainWindow::windowStateFilePath(), data + 1, size - 1);
        TarnAppMainWindow window;
        window.initialize();
    } else {
        const QString loaded = harness->folder() + "/load.ini";
        harness->writeFile(loaded, data + 1, size - 1);
        const std::vector<unsigned char> serial{0x01, 0x02, 0xAB};
        AppSetting setting;
        setting.setSerialNumber(serial);
        setting.loadSettingFile(loaded);
        FUZZ_CHECK(setting.serialNumber() == serial); // never read from the file
        setting.saveSettingFile(harness->folder() + "/save.ini");
        AppSetting again;
        again.loadSettingFile(harness->folder() + "/save.ini");
        FUZZ_CHECK(sameRecord(setting, again));
    }
    harness->settle();
    return 0;
}
