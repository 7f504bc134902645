#ifndef PORTNAMEMATCH_H
#define PORTNAMEMATCH_H

#include <QString>
#include <QStringList>

// Which present port a stored port name stands for. Any thread.
namespace PortNameMatch {

// The present port that a stored name stands for, or an empty text. The name
// itself when present; otherwise the only present name that differs from it
// in nothing but the trailing client and port numbers that ALSA appends
// ("unit:unit MIDI 1 24:0"), which change when a device is replugged. An
// excluded name (another device's port) is never taken for a moved one.
QString presentName(const QStringList &present, const QString &stored,
                    const QStringList &excluded = {});

} // namespace PortNameMatch

#endif
