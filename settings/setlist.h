#ifndef SETLIST_H
#define SETLIST_H

#include "presets.h"

#include <QString>
#include <QVector>

#include <optional>

// A gig as a plain UTF-8 text file a musician can write in any editor: one
// song per line, "Name: 2 4 2" (the last colon splits, so names may hold
// colons), "#" lines and blank lines ignored, the first "#" line the title.
// Reads, writes and steps through it; no I/O besides its own file. Value
// type; GUI thread.
class Setlist
{
public:
    struct Song
    {
        QString name;
        QVector<int> parts; // preset numbers 1 to 6, in the song's order
        bool operator==(const Song &other) const
        {
            return name == other.name && parts == other.parts;
        }
    };
    // Zero-based song and part.
    struct Position
    {
        int song = 0;
        int part = 0;
        bool operator==(const Position &other) const
        {
            return song == other.song && part == other.part;
        }
        bool operator!=(const Position &other) const { return !(*this == other); }
    };
    // Why a file was refused: the line (1-based; 0 for the file as a whole),
    // its text and the reason.
    struct Problem
    {
        int line = 0;
        QString text;
        QString reason;
        // "FILE line L: TEXT (REASON)", or "FILE: REASON" for the whole file.
        QString describe(const QString &path) const;
    };

    static constexpr int lowestPreset = 1;

    // All or nothing: a line that does not parse refuses the whole text.
    static std::optional<Setlist> parse(const QByteArray &utf8, Problem *problem = nullptr);
    static std::optional<Setlist> load(const QString &path, Problem *problem = nullptr);
    // One song line, "Name: 2 4 2"; the reason when it is none.
    static std::optional<Song> parseSong(const QString &line, QString *reason = nullptr);
    // Why a name could not stand in the file as it is (empty, a leading "#",
    // a line break, blanks around it); empty when it can.
    static QString nameProblem(const QString &name);

    QByteArray serialise() const;
    // Writes a new file and renames it over the old one, so a crash while
    // saving never leaves half a setlist; the reason when it fails.
    bool save(const QString &path, QString *error = nullptr) const;

    QString title() const { return listTitle; }
    void setTitle(const QString &title) { listTitle = title; }
    const QVector<Song> &songs() const { return songList; }
    QVector<Song> &songs() { return songList; }
    int songCount() const { return int(songList.size()); }
    bool isEmpty() const { return songList.isEmpty(); }

    bool contains(const Position &position) const;
    // The preset number (1 to 6) of that part; 0 outside the setlist.
    int presetAt(const Position &position) const;

    // Steps, none past either end (no wrap-around): parts cross into the
    // next song's first or the previous song's last part; songs go to part 1.
    std::optional<Position> nextPart(const Position &from) const;
    std::optional<Position> previousPart(const Position &from) const;
    std::optional<Position> nextSong(const Position &from) const;
    std::optional<Position> previousSong(const Position &from) const;
    // MIDI Song Select nn: song nn + 1, part 1; none past the end.
    std::optional<Position> songSelect(int number) const;

    // "song part", 1-based, as the setting file keeps it.
    static QString positionText(const Position &position);
    static std::optional<Position> positionFromText(const QString &text);

    bool operator==(const Setlist &other) const
    {
        return listTitle == other.listTitle && songList == other.songList;
    }
    bool operator!=(const Setlist &other) const { return !(*this == other); }

private:
    QString listTitle;
    QVector<Song> songList;
};

#endif
