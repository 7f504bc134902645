#include "qmidimapper.h"

#include "qmidimessage.h"

#include <QWidget>

QMidiMapper::QMidiMapper(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<QWidget *>("QWidget*");
    qRegisterMetaType<QMidiMessage *>("QMidiMessage*");
}

void QMidiMapper::setMappingState(bool value)
{
    Q_UNUSED(value)
}

void QMidiMapper::setWidget(QWidget *widget)
{
    Q_UNUSED(widget)
}

void QMidiMapper::onMidiMessageReceive(QMidiMessage *message)
{
    Q_UNUSED(message)
}
