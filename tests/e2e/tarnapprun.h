#ifndef TARNAPPRUN_H
#define TARNAPPRUN_H

#include "watchedprocess.h"

#include <QTemporaryDir>
#include <QVariantMap>

// The real TarnApp program, started as a user would start it but with a
// configuration folder of its own (XDG_CONFIG_HOME in a temporary folder) and
// the offscreen platform, so no test touches real settings. Made and used on
// the test's GUI thread.
class TarnAppRun : public WatchedProcess
{
public:
    TarnAppRun();
    // The program ends before its configuration folder goes: it writes its
    // window state on the way out.
    ~TarnAppRun() override;

    // Where the program keeps its two files.
    QString settingFilePath() const;
    QString windowStateFilePath() const;

    // Writes a setting file that names the four ports (as the port lists
    // show them) and any further keys, before start.
    void writeSettings(const QString &hardwareIn, const QString &hardwareOut,
                       const QString &remoteIn, const QString &remoteOut,
                       const QVariantMap &more = {});

    // The lines of one of the program's files, as a user would read them.
    static QStringList fileLines(const QString &path);

private:
    QTemporaryDir m_configHome;
};

#endif
