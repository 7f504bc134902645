#include "midiservice.h"

#include <QFile>
#include <QRegularExpression>
#include <QtGlobal>

namespace MidiService {

bool isAlsa()
{
    static const bool alsa = [] {
        const QByteArray name = qgetenv("TARN_MIDI_SERVICE");
        if (name != "alsa" && name != "jack" && !name.isEmpty())
            qFatal("TARN_MIDI_SERVICE must be alsa or jack, not \"%s\"", name.constData());
        return name == "alsa";
    }();
    return alsa;
}

RtMidi::Api api()
{
    return isAlsa() ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

const char *apiName()
{
    return isAlsa() ? "alsa" : "jack";
}

QString listed(const QString &clientPort)
{
    if (!isAlsa())
        return clientPort;
    const QRegularExpression numbered("^" + QRegularExpression::escape(clientPort) +
                                      "( [0-9]+:[0-9]+)?$");
    QString found;
    const auto search = [&](RtMidi &lister) {
        for (unsigned int i = 0; i < lister.getPortCount(); ++i) {
            const QString name = QString::fromStdString(lister.getPortName(i));
            if (numbered.match(name).hasMatch())
                found = name;
        }
    };
    try {
        // Writable ports are listed by an output, readable ones by an input.
        RtMidiOut writable(api());
        search(writable);
        RtMidiIn readable(api());
        search(readable);
    } catch (const RtMidiError &) {
    }
    return found;
}

bool alsaConnected(const QString &listedPort)
{
    // The sequencer's own account: a "Client N" line, then per port "Port M"
    // with its "Connecting To:" and "Connected From:" lines.
    const QRegularExpression numbers(" ([0-9]+):([0-9]+)$");
    const QRegularExpressionMatch at = numbers.match(listedPort);
    QFile file("/proc/asound/seq/clients");
    if (!at.hasMatch() || !file.open(QIODevice::ReadOnly))
        return false;
    const QString client = "Client " + at.captured(1).rightJustified(3) + " :";
    const QString port = "  Port " + at.captured(2).rightJustified(3) + " :";
    bool inClient = false, inPort = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith("Client "))
            inClient = line.startsWith(client);
        if (line.startsWith("  Port "))
            inPort = inClient && line.startsWith(port);
        if (inPort &&
            (line.startsWith("    Connecting To:") || line.startsWith("    Connected From:")))
            return true;
    }
    return false;
}

} // namespace MidiService
