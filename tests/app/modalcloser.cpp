#include "modalcloser.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

ModalCloser::ModalCloser(std::function<void(QWidget *)> inspector)
    : m_inspector(std::move(inspector))
{
    connect(&m_timer, &QTimer::timeout, this, &ModalCloser::closeModal);
    m_timer.start(20);
}

void ModalCloser::closeModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (m_inspector)
        m_inspector(modal);
    m_titles << modal->windowTitle();
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}
