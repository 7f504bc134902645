#ifndef SETLISTPLAYER_H
#define SETLISTPLAYER_H

#include "remotebindings.h"
#include "setlist.h"

#include <QObject>

class AppSetting;
class HardwareLink;

// The setlist on stage: which one is loaded and where the musician is in it.
// Each step sends the part's preset request through the link and keeps the
// place in the setting file, so a restarted program resumes there; loading
// and restoring send nothing. GUI thread.
class SetlistPlayer : public QObject
{
    Q_OBJECT
public:
    SetlistPlayer(HardwareLink *link, AppSetting *setting, QObject *parent = nullptr);

    bool isLoaded() const { return !current.isEmpty(); }
    const Setlist &setlist() const { return current; }
    QString path() const { return file; }
    Setlist::Position position() const { return place; }
    // Why the last setlist asked for could not be loaded; empty when it was.
    QString problem() const { return trouble; }

    // At start: the setlist and place the setting file names. A file that is
    // missing, refused, or no longer holds that place is reported, and the
    // program goes on without a setlist; the setting file is left as it is.
    void restore();
    // A setlist just opened or written to path. The same file keeps the place
    // at the song being played, found by its name; otherwise song 1, part 1.
    void take(const Setlist &setlist, const QString &path);

    // Steps; none while the part's preset cannot be chosen, or past either end.
    void act(RemoteAction action);
    void songSelect(int number);
    void jumpToSong(int song);

signals:
    // The setlist, the place or the problem changed.
    void changed();

private:
    void moveTo(const std::optional<Setlist::Position> &to);
    void report(const QString &text);
    void keepPlace();

    HardwareLink *link;
    AppSetting *setting;
    Setlist current;
    QString file;
    Setlist::Position place;
    QString trouble;
};

#endif
