// The settings record and its INI file: what is written, what is read back,
// and what missing keys, non-numbers and unusable paths give.
#include "appsetting.h"
#include "configsandbox.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Bytes = std::vector<unsigned char>;

// A record with every field set to something other than its initial value.
AppSetting filledRecord()
{
    AppSetting record;
    record.setHardwareMidiInPort("unit:out");
    record.setHardwareMidiOutPort("unit:in");
    record.setRemoteMidiInPort("pad:out");
    record.setRemoteMidiOutPort("pad:in");
    for (int i = 0; i < AppSetting::presetCount; ++i)
        record.setPresetName(i, QString("old %1").arg(i));
    record.setFootSwitchIndex(5);
    record.setDispType(2);
    record.setSerialNumber({9, 9, 9});
    return record;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(std::vector<unsigned char>)

class TestAppSetting : public QObject
{
    Q_OBJECT
private slots:
    void init() { dir.reset(new QTemporaryDir); }

    void freshRecordHoldsNothing()
    {
        const AppSetting record;
        QVERIFY(record.hardwareMidiInPort().isEmpty());
        QVERIFY(record.hardwareMidiOutPort().isEmpty());
        QVERIFY(record.remoteMidiInPort().isEmpty());
        QVERIFY(record.remoteMidiOutPort().isEmpty());
        QVERIFY(record.serialNumber().empty());
        for (int i = 0; i < AppSetting::presetCount; ++i)
            QVERIFY(record.presetName(i).isEmpty());
        QCOMPARE(record.footSwitchIndex(), 0);
    }

    // Names that the INI writer has to quote or escape come back unchanged;
    // the serial number is written but never read back.
    void roundTripRestoresEveryFieldButSerial()
    {
        const QStringList names{"Clean, bright", "  padded  ", "Über = drive",
                                "@home",         "semi;colon", ""};
        AppSetting written;
        written.setHardwareMidiInPort("unit client:midi out");
        written.setHardwareMidiOutPort("unit client:midi in");
        written.setRemoteMidiInPort("pad:out");
        written.setRemoteMidiOutPort("");
        for (int i = 0; i < AppSetting::presetCount; ++i)
            written.setPresetName(i, names[i]);
        written.setFootSwitchIndex(4);
        written.setDispType(1);
        written.setSerialNumber({1, 2, 3, 4, 5, 6, 7, 8});
        written.saveSettingFile(path());

        AppSetting read = filledRecord();
        read.loadSettingFile(path());
        QCOMPARE(read.hardwareMidiInPort(), written.hardwareMidiInPort());
        QCOMPARE(read.hardwareMidiOutPort(), written.hardwareMidiOutPort());
        QCOMPARE(read.remoteMidiInPort(), written.remoteMidiInPort());
        QCOMPARE(read.remoteMidiOutPort(), QString());
        for (int i = 0; i < AppSetting::presetCount; ++i)
            QCOMPARE(read.presetName(i), names[i]);
        QCOMPARE(read.footSwitchIndex(), 4);
        QCOMPARE(read.dispType(), 1);
        QCOMPARE(read.serialNumber(), (Bytes{9, 9, 9}));
    }

    void fileHoldsAllKeysAndSerialText_data()
    {
        QTest::addColumn<Bytes>("serial");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("empty") << Bytes{} << QByteArray("SerialNumber=\n");
        QTest::newRow("three bytes")
            << Bytes{0x01, 0x02, 0xAB} << QByteArray("SerialNumber=01-02-AB\n");
        QTest::newRow("eight bytes") << Bytes{1, 2, 3, 4, 5, 6, 7, 8}
                                     << QByteArray("SerialNumber=01-02-03-04-05-06-07-08\n");
    }
    void fileHoldsAllKeysAndSerialText()
    {
        QFETCH(Bytes, serial);
        QFETCH(QByteArray, line);
        AppSetting record = filledRecord();
        record.setSerialNumber(serial);
        record.saveSettingFile(path());

        const QByteArray text = fileBytes(path());
        QVERIFY2(text.contains(line), text.constData());
        QVERIFY2(text.contains("\nFootSwitchIndex=5\n"), text.constData());
        QVERIFY2(text.contains("\nDispType=2\n"), text.constData());
        QStringList keys = QSettings(path(), QSettings::IniFormat).allKeys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"DispType", "FootSwitchIndex", "HardwareMidiInPort",
                                    "HardwareMidiOutPort", "Preset1", "Preset2", "Preset3",
                                    "Preset4", "Preset5", "Preset6", "RemoteMidiInPort",
                                    "RemoteMidiOutPort", "SerialNumber"}));
    }

    // Every field is overwritten by a load: a key that is not there resets it.
    void missingKeysResetTheirFields()
    {
        ConfigSandbox::writeIni(path(), {{"Preset3", "Solo"}});
        AppSetting record = filledRecord();
        record.loadSettingFile(path());
        QCOMPARE(record.presetName(2), QString("Solo"));
        for (int i : {0, 1, 3, 4, 5})
            QVERIFY2(record.presetName(i).isEmpty(), qPrintable(record.presetName(i)));
        QVERIFY(record.hardwareMidiInPort().isEmpty());
        QVERIFY(record.hardwareMidiOutPort().isEmpty());
        QVERIFY(record.remoteMidiInPort().isEmpty());
        QVERIFY(record.remoteMidiOutPort().isEmpty());
        QCOMPARE(record.footSwitchIndex(), 0);
        QCOMPARE(record.dispType(), 0);
    }

    void integersReadAsWritten_data()
    {
        QTest::addColumn<QString>("footSwitch");
        QTest::addColumn<QString>("dispType");
        QTest::addColumn<int>("expectedFootSwitch");
        QTest::addColumn<int>("expectedDispType");
        QTest::newRow("letters") << "abc"
                                 << "x2" << 0 << 0;
        QTest::newRow("empty") << ""
                               << "" << 0 << 0;
        QTest::newRow("out of range kept") << "42"
                                           << "-3" << 42 << -3;
        QTest::newRow("in range") << "6"
                                  << "2" << 6 << 2;
    }
    void integersReadAsWritten()
    {
        QFETCH(QString, footSwitch);
        QFETCH(QString, dispType);
        ConfigSandbox::writeIni(path(), {{"FootSwitchIndex", footSwitch}, {"DispType", dispType}});
        AppSetting record = filledRecord();
        record.loadSettingFile(path());
        QTEST(record.footSwitchIndex(), "expectedFootSwitch");
        QTEST(record.dispType(), "expectedDispType");
    }

    void missingFileEmptiesTheRecord()
    {
        AppSetting record = filledRecord();
        record.loadSettingFile(dir->filePath("no/such/folder/TarnAppSetting.ini"));
        QVERIFY(record.hardwareMidiInPort().isEmpty());
        QVERIFY(record.presetName(0).isEmpty());
        QCOMPARE(record.footSwitchIndex(), 0);
        QCOMPARE(record.dispType(), 0);
        QCOMPARE(record.serialNumber(), (Bytes{9, 9, 9}));
    }

    // A path below a plain file cannot be written: nothing happens, silently.
    void unwritablePathIsIgnored()
    {
        QFile blocker(dir->filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString blocked = dir->filePath("plain/TarnAppSetting.ini");
        AppSetting record = filledRecord();
        record.saveSettingFile(blocked);
        QVERIFY(!QFile::exists(blocked));
        QCOMPARE(record.presetName(1), QString("old 1"));
    }

    void setSerialNumberReplacesTheBytes()
    {
        AppSetting record;
        record.setSerialNumber({1, 2, 3, 4, 5, 6, 7, 8});
        record.setSerialNumber({0xAA, 0xBB});
        QCOMPARE(record.serialNumber(), (Bytes{0xAA, 0xBB}));
        record.setSerialNumber({});
        QVERIFY(record.serialNumber().empty());
    }

private:
    QString path() const { return dir->filePath("TarnAppSetting.ini"); }

    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_GUILESS_MAIN(TestAppSetting)
#include "tst_appsetting.moc"
