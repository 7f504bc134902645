#include "setlistplayer.h"

#include "appsetting.h"
#include "hardwarelink.h"

#include <QFileInfo>

SetlistPlayer::SetlistPlayer(HardwareLink *link, AppSetting *setting, QObject *parent)
    : QObject(parent), link(link), setting(setting)
{
}

void SetlistPlayer::report(const QString &text)
{
    trouble = text;
    const QByteArray line = ("Setlist: " + text).toUtf8();
    QMessageLogger().debug("%s", line.constData());
}

void SetlistPlayer::restore()
{
    const QString path = setting->setlistFile();
    if (path.isEmpty())
        return;
    Setlist::Problem problem;
    const std::optional<Setlist> loaded = Setlist::load(path, &problem);
    if (!loaded) {
        report(problem.describe(path));
        emit changed();
        return;
    }
    // No place kept (a hand-written setting file) starts at the top; a place
    // the file no longer has means the file changed under it, and guessing
    // which song the musician is at could start the wrong sound.
    const QString kept = setting->setlistPosition();
    const auto at = kept.trimmed().isEmpty() ? std::optional<Setlist::Position>(Setlist::Position())
                                             : Setlist::positionFromText(kept);
    if (!at || !loaded->contains(*at)) {
        report(QStringLiteral("%1: has no song and part \"%2\" any more; started without a "
                              "setlist")
                   .arg(path, kept));
        emit changed();
        return;
    }
    current = *loaded;
    file = path;
    place = *at;
    trouble.clear();
    emit changed();
}

void SetlistPlayer::take(const Setlist &setlist, const QString &path)
{
    // The same file edited: the musician stays at the song being played,
    // wherever it moved to; a song gone, or another file, starts at the top.
    Setlist::Position kept;
    if (QFileInfo(path) == QFileInfo(file) && current.contains(place)) {
        const QString playing = current.songs()[place.song].name;
        int found = -1; // the one nearest its old place, should the name repeat
        for (int i = 0; i < setlist.songCount(); ++i) {
            if (setlist.songs()[i].name == playing &&
                (found < 0 || qAbs(i - place.song) < qAbs(found - place.song)))
                found = i;
        }
        if (found >= 0)
            kept = {found, place.part < setlist.songs()[found].parts.size() ? place.part : 0};
    }
    current = setlist;
    file = path;
    place = kept;
    trouble.clear();
    keepPlace();
    emit changed();
}

void SetlistPlayer::act(RemoteAction action)
{
    switch (action) {
    case RemoteAction::NextPart:
        moveTo(current.nextPart(place));
        break;
    case RemoteAction::PreviousPart:
        moveTo(current.previousPart(place));
        break;
    case RemoteAction::NextSong:
        moveTo(current.nextSong(place));
        break;
    case RemoteAction::PreviousSong:
        moveTo(current.previousSong(place));
        break;
    default:
        break;
    }
}

void SetlistPlayer::songSelect(int number)
{
    moveTo(current.songSelect(number));
}

void SetlistPlayer::jumpToSong(int song)
{
    moveTo(current.songSelect(song));
}

void SetlistPlayer::moveTo(const std::optional<Setlist::Position> &to)
{
    // The buttons' rule: a preset is chosen only once the unit's serial is held.
    if (!to || !link->takesPresets())
        return;
    const int chosen = current.presetAt(*to);
    if (chosen < 1 || chosen > PresetCount)
        return;
    place = *to;
    const Setlist::Song &song = current.songs()[place.song];
    const int preset = current.presetAt(place);
    // One pass: a name holding "%1" stays as it is.
    const QByteArray line =
        QStringLiteral("Setlist: song %1/%2 \"%3\" part %4/%5 -> preset %6")
            .arg(QString::number(place.song + 1), QString::number(current.songCount()), song.name,
                 QString::number(place.part + 1), QString::number(song.parts.size()),
                 QString::number(preset))
            .toUtf8();
    QMessageLogger().debug("%s", line.constData());
    emit changed();
    // A step to the preset already active still asks for it: the musician
    // pressed for this part, and the unit may have been changed by hand.
    link->selectPreset(preset - 1);
    keepPlace();
}

void SetlistPlayer::keepPlace()
{
    // A setlist without songs is none: the next start has nothing to resume.
    if (current.isEmpty())
        setting->setSetlist(QString(), QString());
    else
        setting->setSetlist(file, Setlist::positionText(place));
    setting->saveSetlistPlace(AppSetting::settingFilePath());
}
