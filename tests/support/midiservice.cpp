#include "midiservice.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QtGlobal>

namespace MidiService {

namespace {

QByteArray name()
{
    static const QByteArray chosen = [] {
        const QByteArray name = qgetenv("TARN_MIDI_SERVICE");
        if (name != "alsa" && name != "jack" && name != "pipewire" && !name.isEmpty())
            qFatal("TARN_MIDI_SERVICE must be alsa, jack or pipewire, not \"%s\"",
                   name.constData());
        return name;
    }();
    return chosen;
}

} // namespace

bool isAlsa()
{
    return name() == "alsa";
}

bool isPipeWire()
{
    return name() == "pipewire";
}

RtMidi::Api api()
{
    return isAlsa() ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

const char *apiName()
{
    return isAlsa() ? "alsa" : "jack";
}

std::vector<unsigned char> delivered(std::vector<unsigned char> sent)
{
    if (isPipeWire() && sent.size() == 3 && (sent[0] & 0xF0) == 0x90 && sent[2] == 0)
        sent = {static_cast<unsigned char>(0x80 | (sent[0] & 0x0F)), sent[1], 64};
    return sent;
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

QStringList alsaConnections(const QString &listedPort)
{
    // /proc/asound/seq/clients: 'Client 129 : "name" ...', then per port
    // '  Port   0 : "name" ...' and its '    Connecting To: 130:0, 131:0'
    // and '    Connected From: ...' lines.
    QFile file("/proc/asound/seq/clients");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression entry("^(Client|  Port) +([0-9]+) : \"(.*)\" [[(]");
    const QRegularExpression number("([0-9]+):([0-9]+)");
    QMap<QString, QString> names;     // "129:0" -> listed name
    QMap<QString, QStringList> peers; // "129:0" -> connected numbers
    QString client, clientName, port;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const QRegularExpressionMatch at = entry.match(line);
        if (at.hasMatch() && at.captured(1) == "Client") {
            client = at.captured(2);
            clientName = at.captured(3);
        } else if (at.hasMatch()) {
            port = client + ':' + at.captured(2);
            names[port] = clientName + ':' + at.captured(3) + ' ' + port;
        } else if (line.startsWith("    Connect")) {
            auto numbers = number.globalMatch(line.mid(line.indexOf(':') + 1));
            while (numbers.hasNext()) {
                const QRegularExpressionMatch peer = numbers.next();
                peers[port] << peer.captured(1) + ':' + peer.captured(2);
            }
        }
    }
    QStringList found;
    for (const QString &peer : peers.value(listedPort.section(' ', -1)))
        found << names.value(peer, peer);
    return found;
}

} // namespace MidiService
