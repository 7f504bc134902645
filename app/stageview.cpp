#include "stageview.h"

#include "setlistplayer.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>

StageView::StageView(const SetlistPlayer *player, QWidget *fontSource, QWidget *parent)
    : QWidget(parent), player(player), fontSource(fontSource), lines(new QGridLayout(this)),
      song(new QLabel(this)), part(new QLabel(this)), next(new QLabel(this)),
      notice(new QLabel(this))
{
    setObjectName("stageView");
    song->setObjectName("labelStageSong");
    part->setObjectName("labelStagePart");
    next->setObjectName("labelStageNext");
    notice->setObjectName("labelStageNotice");
    notice->setStyleSheet("color:#FF0000;");
    notice->setWordWrap(true);
    // Names are shortened to the width they get; the part is short and always whole.
    for (QLabel *label : {song, next}) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    lines->setContentsMargins(9, 2, 9, 2);
    lines->setHorizontalSpacing(24);
    lines->setVerticalSpacing(0);
    arrange();
    fontSource->installEventFilter(this);
    if (window() != this)
        window()->installEventFilter(this);
    connect(player, &SetlistPlayer::changed, this, &StageView::showPlace);
    fitFonts();
    showPlace();
}

void StageView::showPlace()
{
    const bool loaded = player->isLoaded();
    song->setVisible(loaded);
    part->setVisible(loaded);
    next->setVisible(loaded);
    notice->setVisible(!loaded && !player->problem().isEmpty());
    notice->setText(tr("No setlist: %1").arg(player->problem()));
    if (!loaded)
        return;
    const Setlist &setlist = player->setlist();
    const Setlist::Position place = player->position();
    const Setlist::Song &current = setlist.songs()[place.song];
    songName = current.name;
    part->setText(tr("part %1 of %2")
                      .arg(QString::number(place.part + 1), QString::number(current.parts.size())));
    nextName = place.song + 1 < setlist.songCount()
                   ? tr("next: %1").arg(setlist.songs()[place.song + 1].name)
                   : tr("last song");
    song->setToolTip(songName);
    elide();
}

bool StageView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fontSource && event->type() == QEvent::FontChange)
        fitFonts();
    else if (watched == window() && event->type() == QEvent::Resize)
        arrange();
    return false;
}

void StageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    elide();
}

void StageView::fitFonts()
{
    // Twice the buttons' size at least; the part as large as the buttons'
    // text, the next song smaller.
    const int size = qMax(1, fontSource->font().pointSize());
    QFont large;
    large.setPointSize(size * 2);
    large.setWeight(QFont::Bold);
    song->setFont(large);
    QFont middle;
    middle.setPointSize(size);
    middle.setWeight(QFont::Bold);
    part->setFont(middle);
    QFont small;
    small.setPointSize(qMax(1, size * 3 / 4));
    next->setFont(small);
    notice->setFont(small);
    elide();
}

void StageView::arrange()
{
    // A single row of buttons leaves little height: the lines go side by side.
    const bool row = rowWanted && rowWanted();
    if (row == inRow && lines->count())
        return;
    inRow = row;
    for (QWidget *widget : {static_cast<QWidget *>(song), static_cast<QWidget *>(part),
                            static_cast<QWidget *>(next), static_cast<QWidget *>(notice)})
        lines->removeWidget(widget);
    // The name takes half the width in a row, the whole width above the rest.
    lines->addWidget(song, 0, 0, 1, row ? 1 : 2);
    lines->addWidget(part, row ? 0 : 1, row ? 1 : 0);
    lines->addWidget(next, row ? 0 : 1, row ? 2 : 1);
    lines->addWidget(notice, 2, 0, 1, 3);
    // In a row all three keep to the left, where a window wider than its
    // screen still shows them.
    for (int column = 0; column < 4; ++column)
        lines->setColumnStretch(column, 0);
    lines->setColumnStretch(row ? 3 : 1, 1);
    elide();
}

void StageView::elide()
{
    // In a row the name gets up to half the width and the next song a quarter.
    const auto cap = [this](QLabel *label, const QString &text, int share) {
        // A layout gives a label of ignored width none at all: in a row the
        // width is the label's own.
        label->setSizePolicy(inRow ? QSizePolicy::Fixed : QSizePolicy::Ignored,
                             QSizePolicy::Preferred);
        if (!inRow) {
            label->setMinimumWidth(0);
            label->setMaximumWidth(QWIDGETSIZE_MAX);
            return;
        }
        const int full = label->fontMetrics().horizontalAdvance(text) + 2;
        label->setFixedWidth(qMin(full, contentsRect().width() / share));
    };
    cap(song, songName, 2);
    cap(next, nextName, 4);
    // The labels have their new widths once the layout has run.
    lines->activate();
    song->setText(song->fontMetrics().elidedText(songName, Qt::ElideRight, song->width()));
    next->setText(next->fontMetrics().elidedText(nextName, Qt::ElideRight, next->width()));
}
