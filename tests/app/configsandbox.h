#ifndef CONFIGSANDBOX_H
#define CONFIGSANDBOX_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

// A configuration folder of one test case's own: XDG_CONFIG_HOME points at a
// new, empty temporary folder while the object exists, so the program's
// setting and window-state files start absent. GUI thread.
class ConfigSandbox
{
public:
    ConfigSandbox();
    ~ConfigSandbox();
    ConfigSandbox(const ConfigSandbox &) = delete;
    ConfigSandbox &operator=(const ConfigSandbox &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    // The folder that XDG_CONFIG_HOME names.
    QString root() const { return m_dir.path(); }

    // Writes the keys into an INI file as QSettings would (folders made as
    // needed); values are written as given, so text may stand for numbers.
    static void writeIni(const QString &path, const QVariantMap &values);
    // Writes the program's setting file with these four port names and
    // nothing else set.
    static void writePorts(const QString &hardIn, const QString &hardOut, const QString &remoteIn,
                           const QString &remoteOut);
    // Reads every key of an INI file as text.
    static QVariantMap readIni(const QString &path);

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};

#endif
