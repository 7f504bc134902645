#include "fuzzenvironment.h"

#include "fuzzcheck.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>

FuzzEnvironment::FuzzEnvironment(const char *programName) : m_programName(programName)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program keeps its files in the configuration folder; a fuzz run must
    // never touch the user's.
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    m_argv[0] = m_programName.data();
    m_application = std::make_unique<QApplication>(m_argc, m_argv);
}

FuzzEnvironment::~FuzzEnvironment() = default;

void FuzzEnvironment::writeInputFile(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    FUZZ_CHECK(file.flush());
    // Qt keeps a parsed INI file and reads it again only when its size or time
    // changed: a time of its own for every input makes each one read afresh.
    // (A new name for every input would do too, but Qt's cache of parsed files
    // would then grow with every input, and the fuzzer would look for a leak
    // after each one.)
    const QDateTime time = QDateTime::fromSecsSinceEpoch(1000000000 + ++m_filesWritten);
    FUZZ_CHECK(file.setFileTime(time, QFileDevice::FileModificationTime));
}

void FuzzEnvironment::settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
