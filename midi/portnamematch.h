#ifndef PORTNAMEMATCH_H
#define PORTNAMEMATCH_H

#include <QString>
#include <QStringList>

// Which present port a stored port name stands for. Any thread.
namespace PortNameMatch {

// The present port that a stored name stands for, or an empty text. The name
// itself when present; otherwise the only present name that differs from it
// in nothing but the trailing client and port numbers that ALSA appends
// ("unit:unit MIDI 1 24:0"), which change when a device is replugged.
QString presentName(const QStringList &present, const QString &stored);

} // namespace PortNameMatch

#endif
