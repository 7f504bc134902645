#ifndef SETTINGSVISIT_H
#define SETTINGSVISIT_H

#include <QProcess>
#include <QString>
#include <QStringList>

// Opens the program's settings dialog with a click on SETTINGS and closes it
// with Return (its OK), as a user would, on an X server of its own (Xvfb)
// through xdotool. Benchmark main thread.
class SettingsVisit
{
public:
    // Starts the X server when Xvfb and xdotool are both installed.
    SettingsVisit();
    ~SettingsVisit();

    // The display to show the program on; empty without one, and then why.
    QString display() const { return m_display; }
    QString missing() const { return m_missing; }

    // Opens and closes the dialog of the process; false, with the reason
    // printed, when the dialog does not open or does not close.
    bool visit(qint64 pid);

private:
    // Runs xdotool; its exit code, or -1 when it has not ended in time.
    int xdotool(const QStringList &arguments, QString *out = nullptr) const;
    bool dialogShown() const;

    QProcess m_server;
    QString m_display, m_missing;
};

#endif
