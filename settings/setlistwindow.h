#ifndef SETLISTWINDOW_H
#define SETLISTWINDOW_H

#include "setlist.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

// The window that edits a setlist: its songs with their parts (add, remove,
// rename, move, edit parts), its title, and New, Open, Save and Save As. It
// edits and tells: a setlist opened or written goes out by setlistWritten, a
// song double-clicked (or found by typing its first letters, then Return) by
// jumpRequested; the owner decides what the stage does. GUI thread.
class SetlistWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SetlistWindow(QWidget *parent = nullptr);

    // Starts from this setlist, unchanged (the one on stage, or none).
    void setSetlist(const Setlist &setlist, const QString &path);
    // Shows where the stage is, as the list's current row.
    void showSong(int song);

    // The file's text of one song's list entry: "Name — 2 4 2".
    static QString entryText(const Setlist::Song &song);

signals:
    void setlistWritten(const Setlist &setlist, const QString &path);
    void jumpRequested(int song);

public slots:
    void done(int result) override;

private slots:
    void addSong();
    void removeSong();
    void renameSong();
    void editParts();
    void moveSong(int by);
    void newSetlist();
    void openSetlist();
    bool saveSetlist();
    bool saveSetlistAs();
    void jump(QListWidgetItem *item);

private:
    void showSongs(int current);
    void changed(int current);
    bool writeTo(const QString &path);
    // Unsaved changes: saved, dropped (true) or kept (false, Cancel).
    bool settleChanges();
    QString askName(const QString &title, const QString &name);

    Setlist edited;
    QString file;
    bool modified = false;
    QLineEdit *titleEdit;
    QListWidget *songList;
    QLabel *status;
};

#endif
