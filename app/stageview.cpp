#include "stageview.h"

#include "setlistplayer.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>

StageView::StageView(const SetlistPlayer *player, QWidget *fontSource, QWidget *parent)
    : QWidget(parent), player(player), fontSource(fontSource),
      lines(new QBoxLayout(QBoxLayout::TopToBottom, this)), song(new QLabel(this)),
      part(new QLabel(this)), next(new QLabel(this)), notice(new QLabel(this))
{
    setObjectName("stageView");
    song->setObjectName("labelStageSong");
    part->setObjectName("labelStagePart");
    next->setObjectName("labelStageNext");
    notice->setObjectName("labelStageNotice");
    notice->setStyleSheet("color:#FF0000;");
    notice->setWordWrap(true);
    for (QLabel *label : {song, part, next})
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lines->setContentsMargins(9, 4, 9, 4);
    lines->setSpacing(2);
    lines->addWidget(song, 0, Qt::AlignLeft | Qt::AlignVCenter);
    lines->addWidget(part, 0, Qt::AlignLeft | Qt::AlignVCenter);
    lines->addWidget(next, 0, Qt::AlignLeft | Qt::AlignVCenter);
    lines->addWidget(notice);
    fontSource->installEventFilter(this);
    if (window() != this)
        window()->installEventFilter(this);
    connect(player, &SetlistPlayer::changed, this, &StageView::showPlace);
    fitFonts();
    showPlace();
}

QString StageView::songText() const
{
    return songName;
}

void StageView::showPlace()
{
    const bool loaded = player->isLoaded();
    song->setVisible(loaded);
    part->setVisible(loaded);
    next->setVisible(loaded);
    notice->setVisible(!loaded && !player->problem().isEmpty());
    notice->setText(player->problem());
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
    const QSize area = window()->size();
    lines->setDirection(area.width() > 4 * area.height() ? QBoxLayout::LeftToRight
                                                         : QBoxLayout::TopToBottom);
    elide();
}

void StageView::elide()
{
    const bool row = lines->direction() == QBoxLayout::LeftToRight;
    const int width = qMax(40, contentsRect().width() - 18);
    // In a row the name takes half the width, the other two a quarter each.
    song->setText(song->fontMetrics().elidedText(songName, Qt::ElideRight,
                                                 row ? width / 2 : width));
    next->setText(next->fontMetrics().elidedText(nextName, Qt::ElideRight,
                                                 row ? width / 4 : width));
}
