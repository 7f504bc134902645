#include "setlist.h"

#include <QFile>
#include <QSaveFile>

namespace {

QString quoted(const QString &text)
{
    return QStringLiteral("\"%1\"").arg(text);
}

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing past U+10FFFF. (Qt's own decoder would
// replace such bytes silently, and a Latin-1 file would load with its names
// spoilt.)
bool isUtf8(const char *text, int length)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    for (int i = 0; i < length;) {
        const unsigned char lead = bytes[i];
        const int extra = lead < 0x80   ? 0
                          : lead < 0xC2 ? -1
                          : lead < 0xE0 ? 1
                          : lead < 0xF0 ? 2
                          : lead < 0xF5 ? 3
                                        : -1;
        if (extra < 0 || i + extra >= length)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
        }
        const unsigned char second = extra ? bytes[i + 1] : 0;
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
            return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

QString Setlist::Problem::describe(const QString &path) const
{
    if (line <= 0)
        return QStringLiteral("%1: %2").arg(path, reason);
    return QStringLiteral("%1 line %2: %3 (%4)").arg(path, QString::number(line), text, reason);
}

std::optional<Setlist::Song> Setlist::parseSong(const QString &line, QString *reason)
{
    const auto refuse = [reason](const QString &why) -> std::optional<Song> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    const int colon = line.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return refuse(QStringLiteral("no colon between the name and the parts"));
    Song song;
    song.name = line.left(colon).trimmed();
    if (song.name.isEmpty())
        return refuse(QStringLiteral("no song name before the colon"));
    const QStringList parts =
        line.mid(colon + 1).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return refuse(QStringLiteral("no parts after the colon"));
    for (const QString &part : parts) {
        // One digit: "02", "+2" or "2.0" are more likely typing slips than presets.
        const QChar digit = part.at(0);
        if (part.size() != 1 || digit < QLatin1Char('0' + lowestPreset) ||
            digit > QLatin1Char('0' + PresetCount))
            return refuse(QStringLiteral("%1 is not a preset 1 to 6").arg(quoted(part)));
        song.parts << digit.unicode() - '0';
    }
    return song;
}

QString Setlist::nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("a song needs a name");
    if (name.trimmed() != name)
        return QStringLiteral("a name cannot start or end with blanks");
    if (name.startsWith(QLatin1Char('#')))
        return QStringLiteral("a name cannot start with \"#\" (the file takes that as a comment)");
    if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
        return QStringLiteral("a name is one line");
    return QString();
}

std::optional<Setlist> Setlist::parse(const QByteArray &utf8, Problem *problem)
{
    Setlist setlist;
    bool titled = false;
    int start = utf8.startsWith("\xEF\xBB\xBF") ? 3 : 0; // a mark some editors write
    for (int number = 1; start < utf8.size(); ++number) {
        int end = utf8.indexOf('\n', start);
        if (end < 0)
            end = utf8.size();
        int length = end - start;
        if (length > 0 && utf8.at(end - 1) == '\r')
            --length;
        const bool wellFormed = isUtf8(utf8.constData() + start, length);
        const QString raw = QString::fromUtf8(utf8.constData() + start, length);
        start = end + 1;
        const QString line = raw.trimmed();
        const auto refuse = [&](const QString &reason) {
            if (problem)
                *problem = Problem{number, raw, reason};
            return std::nullopt;
        };
        if (!wellFormed)
            return refuse(QStringLiteral("not UTF-8 text"));
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#'))) {
            if (!titled)
                setlist.listTitle = line.mid(1).trimmed();
            titled = true;
            continue;
        }
        QString reason;
        const std::optional<Song> song = parseSong(line, &reason);
        if (!song)
            return refuse(reason);
        setlist.songList << *song;
    }
    return setlist;
}

std::optional<Setlist> Setlist::load(const QString &path, Problem *problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = Problem{0, QString(), file.errorString()};
        return std::nullopt;
    }
    return parse(file.readAll(), problem);
}

QByteArray Setlist::serialise() const
{
    QString text;
    if (!listTitle.isEmpty())
        text += QStringLiteral("# ") + QString(listTitle).replace(QLatin1Char('\n'), ' ') + '\n';
    for (const Song &song : songList) {
        text += song.name + QLatin1Char(':');
        for (int part : song.parts)
            text += QLatin1Char(' ') + QString::number(part);
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool Setlist::save(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(serialise()) >= 0 && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool Setlist::contains(const Position &position) const
{
    return position.song >= 0 && position.song < songList.size() && position.part >= 0 &&
           position.part < songList[position.song].parts.size();
}

int Setlist::presetAt(const Position &position) const
{
    return contains(position) ? songList[position.song].parts[position.part] : 0;
}

std::optional<Setlist::Position> Setlist::nextPart(const Position &from) const
{
    if (!contains(from))
        return std::nullopt;
    if (from.part + 1 < songList[from.song].parts.size())
        return Position{from.song, from.part + 1};
    return nextSong(from);
}

std::optional<Setlist::Position> Setlist::previousPart(const Position &from) const
{
    if (!contains(from))
        return std::nullopt;
    if (from.part > 0)
        return Position{from.song, from.part - 1};
    if (from.song == 0)
        return std::nullopt;
    return Position{from.song - 1, int(songList[from.song - 1].parts.size()) - 1};
}

std::optional<Setlist::Position> Setlist::nextSong(const Position &from) const
{
    if (!contains(from) || from.song + 1 >= songList.size())
        return std::nullopt;
    return Position{from.song + 1, 0};
}

std::optional<Setlist::Position> Setlist::previousSong(const Position &from) const
{
    if (!contains(from) || from.song == 0)
        return std::nullopt;
    return Position{from.song - 1, 0};
}

std::optional<Setlist::Position> Setlist::songSelect(int number) const
{
    if (number < 0 || number >= songList.size())
        return std::nullopt;
    return Position{number, 0};
}

QString Setlist::positionText(const Position &position)
{
    return QStringLiteral("%1 %2").arg(position.song + 1).arg(position.part + 1);
}

std::optional<Setlist::Position> Setlist::positionFromText(const QString &text)
{
    const QStringList numbers = text.simplified().split(QLatin1Char(' '));
    if (numbers.size() != 2)
        return std::nullopt;
    bool songOk = false;
    bool partOk = false;
    const int song = numbers[0].toInt(&songOk);
    const int part = numbers[1].toInt(&partOk);
    if (!songOk || !partOk || song < 1 || part < 1)
        return std::nullopt;
    return Position{song - 1, part - 1};
}
