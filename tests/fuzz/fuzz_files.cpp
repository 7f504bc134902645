// Fuzz target: the program's two files of arbitrary bytes. First byte even:
// a setting file, loaded and saved, whose record must survive a second round
// unchanged. Odd: a window-state file, applied by a window that is built,
// initialised and destroyed (which writes the file back).

#include "fuzzharness.h"

static FuzzHarness *harness = nullptr;

static QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    harness = new FuzzHarness(*argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] % 2) {
        harness->writeFile(AppSetting::windowStateFilePath(), data + 1, size - 1);
        TarnAppMainWindow window;
        window.initialize();
    } else {
        const QString path = harness->folder() + "/";
        harness->writeFile(path + "load.ini", data + 1, size - 1);
        const std::vector<unsigned char> serial{0x01, 0x02, 0xAB};
        AppSetting setting, again;
        setting.setSerialNumber(serial);
        again.setSerialNumber(serial);
        setting.loadSettingFile(path + "load.ini");
        FUZZ_CHECK(setting.serialNumber() == serial); // never read from the file
        setting.saveSettingFile(path + "save.ini");
        again.loadSettingFile(path + "save.ini");
        again.saveSettingFile(path + "again.ini");
        FUZZ_CHECK(contents(path + "save.ini") == contents(path + "again.ini"));
    }
    harness->settle();
    return 0;
}
