#ifndef STAGEVIEW_H
#define STAGEVIEW_H

#include <QWidget>

#include <functional>

class QGridLayout;
class QLabel;
class SetlistPlayer;

// What the musician reads from a distance while a setlist is loaded: the
// song's name at least twice as large as the preset buttons' text, "part k of
// n", and the next song's name smaller; or why the setlist asked for is not
// loaded. Lies in one row where asked (beside a row of buttons, in a wide
// window), and otherwise the name above the part and the next song; shortens
// names that do not fit. GUI thread.
class StageView : public QWidget
{
    Q_OBJECT
public:
    // fontSource: a preset button, whose font the sizes follow.
    StageView(const SetlistPlayer *player, QWidget *fontSource, QWidget *parent = nullptr);

    // Asked at each resize of the window: one row (true) or a column.
    void setRowWanted(const std::function<bool()> &wanted) { rowWanted = wanted; }

public slots:
    void showPlace();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitFonts();
    void arrange();
    void elide();

    const SetlistPlayer *player;
    QWidget *fontSource;
    QGridLayout *lines;
    bool inRow = false;
    QLabel *song;
    QLabel *part;
    QLabel *next;
    QLabel *notice;
    QString songName;
    QString nextName;
    std::function<bool()> rowWanted;
};

#endif
