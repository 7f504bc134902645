// Fuzz target: a setting file of arbitrary bytes loaded into the settings
// record, then saved and loaded again, which must give the same record.
#include "appsetting.h"
#include "fuzzcheck.h"
#include "fuzzenvironment.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Made once and never destroyed: libFuzzer ends the process with exit().
FuzzEnvironment *environment = nullptr;
bool sameRecord(const AppSetting &a, const AppSetting &b)
{
    for (int i = 0; i < AppSetting::presetCount; ++i) {
        if (a.presetName(i) != b.presetName(i))
            return false;
    }
    return a.hardwareMidiInPort() == b.hardwareMidiInPort() &&
           a.hardwareMidiOutPort() == b.hardwareMidiOutPort() &&
           a.remoteMidiInPort() == b.remoteMidiInPort() &&
           a.remoteMidiOutPort() == b.remoteMidiOutPort() &&
           a.footSwitchIndex() == b.footSwitchIndex() && a.dispType() == b.dispType();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    environment = new FuzzEnvironment((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString loaded = environment->configHome() + "/load.ini";
    environment->writeInputFile(loaded, data, size);
    const std::vector<unsigned char> serial{0x01, 0x02, 0xAB};
    AppSetting setting;
    setting.setSerialNumber(serial);
    setting.loadSettingFile(loaded);
    FUZZ_CHECK(setting.serialNumber() == serial); // never read from the file

    const QString saved = environment->configHome() + "/save.ini";
    setting.saveSettingFile(saved);
    AppSetting again;
    again.loadSettingFile(saved);
    FUZZ_CHECK(sameRecord(setting, again));
    return 0;
}
