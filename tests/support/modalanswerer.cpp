#include "modalanswerer.h"

#include "testwait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer()
{
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer.start(5);
}

bool ModalAnswerer::waitForSeen(int count, int timeoutMs)
{
    return TestWait::until([&] { return shown.size() >= count; }, timeoutMs);
}

void ModalAnswerer::close(QWidget *modal)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (box && box->button(QMessageBox::Ok))
        box->button(QMessageBox::Ok)->click();
    else if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}

ModalAnswerer::Answer ModalAnswerer::chooseFile(const QString &path)
{
    return [path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog)
            return close(modal);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
    };
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || handling.contains(modal))
        return;
    auto *box = qobject_cast<QMessageBox *>(modal);
    shown << modal->windowTitle() + ": " + (box ? box->text() : QString());

    // An answer may run event loops and meet nested modal windows before it
    // returns. Qt does not fire a timer again while its own timeout is being
    // handled, so each level of nesting polls with a timer of its own.
    handling << modal;
    QTimer nested;
    connect(&nested, &QTimer::timeout, this, &ModalAnswerer::poll);
    nested.start(5);
    const Answer answer = answers.isEmpty() ? Answer(&ModalAnswerer::close) : answers.takeFirst();
    answer(modal);
    handling.removeAll(modal);
    handling.removeAll(nullptr);
}
