#include "portnamematch.h"

#include <QRegularExpression>

namespace PortNameMatch {

namespace {

// The name without ALSA's trailing " client:port", or an empty text when it has none.
QString withoutAddress(const QString &name)
{
    static const QRegularExpression address(QStringLiteral("^(.+) \\d+:\\d+$"));
    const QRegularExpressionMatch match = address.match(name);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QString presentName(const QStringList &present, const QString &stored, const QStringList &excluded)
{
    if (stored.isEmpty() || present.contains(stored))
        return stored;
    const QString base = withoutAddress(stored);
    if (base.isEmpty())
        return QString();
    QString found;
    for (const QString &name : present) {
        if (withoutAddress(name) != base || name == found || excluded.contains(name))
            continue;
        if (!found.isEmpty())
            return QString(); // two candidates: neither is taken
        found = name;
    }
    return found;
}

} // namespace PortNameMatch
