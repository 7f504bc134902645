#ifndef QMIDIMAPPER_H
#define QMIDIMAPPER_H

#include <QObject>

class QMidiMessage;
class QWidget;

// A place to connect an input port for mapping MIDI to a widget; it maps
// nothing yet. GUI thread.
class QMidiMapper : public QObject
{
    Q_OBJECT
public:
    explicit QMidiMapper(QObject *parent = nullptr);

public slots:
    void setMappingState(bool value = true);
    void setWidget(QWidget *widget);
    void onMidiMessageReceive(QMidiMessage *message);
};

#endif
