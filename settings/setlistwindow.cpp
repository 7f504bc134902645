#include "setlistwindow.h"

#include <QBoxLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace {

const char *const FileFilter = "Setlists (*.txt *.setlist);;All files (*)";

} // namespace

SetlistWindow::SetlistWindow(QWidget *parent)
    : QDialog(parent), titleEdit(new QLineEdit(this)), songList(new QListWidget(this)),
      status(new QLabel(this))
{
    setObjectName("setlistWindow");
    setWindowTitle(tr("Setlist"));
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);
    titleEdit->setObjectName("textSetlistTitle");
    titleEdit->setPlaceholderText(tr("Title of the setlist"));
    songList->setObjectName("listSongs");
    status->setObjectName("labelSetlistStatus");
    status->setWordWrap(true);

    const auto button = [this](const char *name, const QString &text, auto slot) {
        auto *made = new QPushButton(text, this);
        made->setObjectName(name);
        made->setAutoDefault(false);
        connect(made, &QPushButton::clicked, this, slot);
        return made;
    };
    auto *edits = new QVBoxLayout;
    edits->addWidget(button("pushAddSong", tr("Add…"), &SetlistWindow::addSong));
    edits->addWidget(button("pushRemoveSong", tr("Remove"), &SetlistWindow::removeSong));
    edits->addWidget(button("pushRenameSong", tr("Rename…"), &SetlistWindow::renameSong));
    edits->addWidget(button("pushEditParts", tr("Parts…"), &SetlistWindow::editParts));
    edits->addWidget(button("pushSongUp", tr("Up"), [this] { moveSong(-1); }));
    edits->addWidget(button("pushSongDown", tr("Down"), [this] { moveSong(1); }));
    edits->addStretch();
    auto *files = new QHBoxLayout;
    files->addWidget(button("pushNewSetlist", tr("New"), &SetlistWindow::newSetlist));
    files->addWidget(button("pushOpenSetlist", tr("Open…"), &SetlistWindow::openSetlist));
    files->addWidget(button("pushSaveSetlist", tr("Save"), &SetlistWindow::saveSetlist));
    files->addWidget(button("pushSaveSetlistAs", tr("Save As…"), &SetlistWindow::saveSetlistAs));
    files->addStretch();
    files->addWidget(button("pushCloseSetlist", tr("Close"), &SetlistWindow::reject));
    auto *middle = new QHBoxLayout;
    middle->addWidget(songList, 1);
    middle->addLayout(edits);
    auto *all = new QVBoxLayout(this);
    all->addWidget(titleEdit);
    all->addLayout(middle, 1);
    all->addWidget(status);
    all->addLayout(files);
    resize(560, 400);

    connect(titleEdit, &QLineEdit::textEdited, this, [this](const QString &title) {
        edited.setTitle(title);
        changed(songList->currentRow());
    });
    // Typing a name's first letters moves to it (the list's own search); Return
    // or a double-click jumps there.
    connect(songList, &QListWidget::itemActivated, this, &SetlistWindow::jump);
    showSongs(0);
}

QString SetlistWindow::entryText(const Setlist::Song &song)
{
    QStringList parts;
    for (int part : song.parts)
        parts << QString::number(part);
    return song.name + QStringLiteral(" — ") + parts.join(' ');
}

void SetlistWindow::setSetlist(const Setlist &setlist, const QString &path)
{
    edited = setlist;
    file = path;
    modified = false;
    titleEdit->setText(setlist.title());
    showSongs(0);
}

void SetlistWindow::showSong(int song)
{
    songList->setCurrentRow(song);
}

void SetlistWindow::showSongs(int current)
{
    songList->clear();
    for (const Setlist::Song &song : edited.songs())
        songList->addItem(entryText(song));
    songList->setCurrentRow(qBound(0, current, edited.songCount() - 1));
    const QString name = file.isEmpty() ? tr("not saved yet") : QFileInfo(file).fileName();
    status->setText(tr("%1 songs · %2%3")
                        .arg(QString::number(edited.songCount()), name,
                             modified ? tr(" · changed") : QString()));
}

void SetlistWindow::changed(int current)
{
    modified = true;
    showSongs(current);
}

QString SetlistWindow::askName(const QString &title, const QString &name)
{
    QString text = name;
    for (;;) {
        bool ok = false;
        text = QInputDialog::getText(this, title, tr("Name of the song:"), QLineEdit::Normal, text,
                                     &ok);
        if (!ok)
            return QString();
        const QString problem = Setlist::nameProblem(text);
        if (problem.isEmpty())
            return text;
        QMessageBox::warning(this, title, problem);
    }
}

void SetlistWindow::addSong()
{
    bool ok = false;
    const QString line = QInputDialog::getText(
        this, tr("Add a song"), tr("The song as in the file, name: parts (Wonderwall: 2 4 2)"),
        QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    QString reason;
    std::optional<Setlist::Song> song = Setlist::parseSong(line, &reason);
    if (song && !Setlist::nameProblem(song->name).isEmpty())
        reason = Setlist::nameProblem(song->name), song.reset();
    if (!song) {
        QMessageBox::warning(this, tr("Add a song"), reason);
        return;
    }
    const int at = edited.isEmpty() ? 0 : songList->currentRow() + 1;
    edited.songs().insert(at, *song);
    changed(at);
}

void SetlistWindow::removeSong()
{
    const int row = songList->currentRow();
    if (row < 0 || row >= edited.songCount())
        return;
    edited.songs().remove(row);
    changed(row);
}

void SetlistWindow::renameSong()
{
    const int row = songList->currentRow();
    if (row < 0 || row >= edited.songCount())
        return;
    const QString name = askName(tr("Rename the song"), edited.songs()[row].name);
    if (name.isEmpty())
        return;
    edited.songs()[row].name = name;
    changed(row);
}

void SetlistWindow::editParts()
{
    const int row = songList->currentRow();
    if (row < 0 || row >= edited.songCount())
        return;
    Setlist::Song &song = edited.songs()[row];
    QStringList parts;
    for (int part : song.parts)
        parts << QString::number(part);
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, tr("Parts"), tr("Presets 1 to 6 of %1's parts, in order:").arg(song.name),
        QLineEdit::Normal, parts.join(' '), &ok);
    if (!ok)
        return;
    QString reason;
    const std::optional<Setlist::Song> parsed = Setlist::parseSong("x:" + text, &reason);
    if (!parsed) {
        QMessageBox::warning(this, tr("Parts"), reason);
        return;
    }
    song.parts = parsed->parts;
    changed(row);
}

void SetlistWindow::moveSong(int by)
{
    const int row = songList->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= edited.songCount())
        return;
    edited.songs().move(row, to);
    changed(to);
}

void SetlistWindow::newSetlist()
{
    if (!settleChanges())
        return;
    setSetlist(Setlist(), QString());
}

void SetlistWindow::openSetlist()
{
    if (!settleChanges())
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open Setlist"), file, tr(FileFilter));
    if (path.isEmpty())
        return;
    Setlist::Problem problem;
    const std::optional<Setlist> loaded = Setlist::load(path, &problem);
    if (!loaded) {
        const QByteArray line = ("Setlist: " + problem.describe(path)).toUtf8();
        QMessageLogger().debug("%s", line.constData());
        QMessageBox::warning(this, tr("Open Setlist"), problem.describe(path));
        return;
    }
    setSetlist(*loaded, path);
    emit setlistWritten(edited, file);
}

bool SetlistWindow::saveSetlist()
{
    return file.isEmpty() ? saveSetlistAs() : writeTo(file);
}

bool SetlistWindow::saveSetlistAs()
{
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save Setlist"), file, tr(FileFilter));
    return !path.isEmpty() && writeTo(path);
}

bool SetlistWindow::writeTo(const QString &path)
{
    QString error;
    if (!edited.save(path, &error)) {
        QMessageBox::warning(this, tr("Save Setlist"), path + ": " + error);
        return false;
    }
    file = path;
    modified = false;
    showSongs(songList->currentRow());
    emit setlistWritten(edited, file);
    return true;
}

void SetlistWindow::jump(QListWidgetItem *item)
{
    // The stage plays the setlist as saved: rows of an unsaved one may be other songs.
    if (modified) {
        status->setText(tr("Save first: the stage plays the setlist as saved."));
        return;
    }
    emit jumpRequested(songList->row(item));
}

bool SetlistWindow::settleChanges()
{
    if (!modified)
        return true;
    const auto answer = QMessageBox::question(
        this, tr("Setlist"), tr("The setlist has unsaved changes. Save them?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return saveSetlist();
    return answer == QMessageBox::Discard;
}

void SetlistWindow::done(int result)
{
    // Close, Escape and the title bar's button all come here.
    if (!settleChanges())
        return;
    modified = false;
    QDialog::done(result);
}
