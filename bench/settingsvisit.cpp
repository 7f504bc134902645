#include "settingsvisit.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>

namespace {

const QString dialogTitle = QStringLiteral("^Hard Settings$");
constexpr int waitMs = 10000;

} // namespace

SettingsVisit::SettingsVisit()
{
    for (const char *tool : {"Xvfb", "xdotool"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            m_missing = QString("%1 is not installed").arg(tool);
            return;
        }
    }
    // Large enough for the widest arrangement; the server names its display
    // on standard output once it listens.
    m_server.setProgram("Xvfb");
    m_server.setArguments({"-displayfd", "1", "-screen", "0", "1920x1200x24", "-nolisten", "tcp"});
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start();
    if (!m_server.waitForReadyRead(waitMs)) {
        m_missing = "Xvfb did not start";
        return;
    }
    m_display = ":" + QString::fromLatin1(m_server.readLine()).trimmed();
}

SettingsVisit::~SettingsVisit()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
}

int SettingsVisit::xdotool(const QStringList &arguments, QString *out) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    tool.setProcessEnvironment(environment);
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(waitMs)) {
        tool.kill();
        tool.waitForFinished();
        return -1;
    }
    if (out)
        *out = QString::fromLatin1(tool.readAllStandardOutput());
    return tool.exitCode();
}

bool SettingsVisit::dialogShown() const
{
    return xdotool({"search", "--onlyvisible", "--name", dialogTitle}) == 0;
}

bool SettingsVisit::visit(qint64 pid)
{
    QString windows, geometry;
    if (xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)}, &windows) != 0 ||
        windows.split('\n', Qt::SkipEmptyParts).size() != 1) {
        std::fprintf(stderr, "soak: not one window of the program shown: %s\n",
                     qPrintable(windows));
        return false;
    }
    const QString window = windows.trimmed();
    xdotool({"getwindowgeometry", "--shell", window}, &geometry);
    const QRegularExpressionMatch size =
        QRegularExpression("WIDTH=(\\d+)\\s+HEIGHT=(\\d+)").match(geometry);
    if (!size.hasMatch())
        return false;
    // SETTINGS is the last button: the bottom right one in every arrangement.
    const int x = size.captured(1).toInt() - 30, y = size.captured(2).toInt() - 30;
    xdotool(
        {"mousemove", "--window", window, QString::number(x), QString::number(y), "click", "1"});
    QString dialog;
    if (xdotool({"search", "--sync", "--onlyvisible", "--name", dialogTitle}, &dialog) != 0) {
        std::fprintf(stderr, "soak: a click on SETTINGS opened no dialog\n");
        return false;
    }
    xdotool({"windowfocus", "--sync", dialog.section('\n', 0, 0), "key", "Return"});
    QElapsedTimer waited;
    waited.start();
    while (dialogShown()) {
        if (waited.elapsed() > waitMs) {
            std::fprintf(stderr, "soak: Return (OK) left the settings dialog open\n");
            return false;
        }
    }
    return true;
}
