#include "modalanswerer.h"

#include "testwait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer(QObject *parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(5);
}

void ModalAnswerer::answerNext(const Answer &answer)
{
    m_answers << answer;
}

QStringList ModalAnswerer::titles() const
{
    QStringList result;
    for (const Seen &seen : m_seen)
        result << seen.title;
    return result;
}

bool ModalAnswerer::waitForSeen(int count, int timeoutMs)
{
    return TestWait::until([&] { return m_seen.size() >= count; }, timeoutMs);
}

void ModalAnswerer::close(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

ModalAnswerer::Answer ModalAnswerer::chooseFile(const QString &path)
{
    return [path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            close(modal);
            return;
        }
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
    };
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || m_handling.contains(modal))
        return;

    Seen seen;
    seen.className = modal->metaObject()->className();
    seen.title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        seen.text = box->text();
    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        seen.nameFilters = dialog->nameFilters();
        seen.selectedNameFilter = dialog->selectedNameFilter();
    }
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox *>(widget) && widget->isVisible())
            ++seen.boxesShown;
    }
    m_seen << seen;

    // An answer may run event loops and meet nested modal windows before it
    // returns. Qt does not fire a timer again while its own timeout is being
    // handled, so each level of nesting polls with a timer of its own.
    m_handling << modal;
    QTimer nested;
    connect(&nested, &QTimer::timeout, this, &ModalAnswerer::poll);
    nested.start(5);
    const Answer answer =
        m_answers.isEmpty() ? Answer(&ModalAnswerer::close) : m_answers.takeFirst();
    answer(modal);
    m_handling.removeAll(modal);
    m_handling.removeAll(nullptr);
}
