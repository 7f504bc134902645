#include "boxwatcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

BoxWatcher::BoxWatcher(int closeAfterMs, std::function<int()> probe)
    : m_closeAfterMs(closeAfterMs), m_probe(std::move(probe))
{
    m_clock.start();
    connect(&m_timer, &QTimer::timeout, this, &BoxWatcher::poll);
    m_timer.start(5);
}

int BoxWatcher::count(const QString &title) const
{
    int n = 0;
    for (const Box &box : m_boxes)
        n += box.title == title;
    return n;
}

void BoxWatcher::poll()
{
    m_maxLoopLevel = qMax(m_maxLoopLevel, QThread::currentThread()->loopLevel());
    const int probe = m_probe ? m_probe() : 0;
    const char *const seen = "boxWatcherSeen";

    QList<QMessageBox *> visible;
    int modal = 0;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        modal += widget->isVisible() && widget->isModal();
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            visible << box;
    }
    m_maxModal = qMax(m_maxModal, modal);
    // Boxes that have gone since the last look; a new box may sit at the
    // address of one that has gone, but it does not carry the mark.
    for (int i = m_open.size() - 1; i >= 0; --i) {
        QMessageBox *box = m_open[i].box;
        if (!visible.contains(box) || !box->property(seen).toBool()) {
            m_maxProbeGrowth = qMax(m_maxProbeGrowth, probe - m_open[i].probeAtOpen);
            m_open.removeAt(i);
        }
    }
    for (QMessageBox *box : visible) {
        if (!box->property(seen).toBool()) {
            box->setProperty(seen, true);
            m_open << Open{box, m_clock.elapsed(), probe};
            m_boxes << Box{box->windowTitle(), box->text()};
        }
    }
    m_maxOpen = qMax(m_maxOpen, m_open.size());
    QHash<QString, int> byTitle;
    for (const Open &open : m_open)
        ++byTitle[open.box->windowTitle()];
    for (auto it = byTitle.begin(); it != byTitle.end(); ++it)
        m_maxOpenByTitle[it.key()] = qMax(m_maxOpenByTitle.value(it.key()), it.value());

    // Close the newest box first: an older one can end its loop only after it.
    if (!m_open.isEmpty() && m_clock.elapsed() - m_open.last().openedAt >= m_closeAfterMs) {
        m_maxProbeGrowth = qMax(m_maxProbeGrowth, probe - m_open.last().probeAtOpen);
        m_open.takeLast().box->done(QMessageBox::Ok);
    }
}
