#include "qmidipianoroll.h"

#include "qmidimessage.h"

#include <QBrush>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPen>

QMidiPianoRoll::QMidiPianoRoll(QWidget *parent)
    : QGraphicsView(parent), scene(new QGraphicsScene), keyWidth(10), keyHeight(60)
{
    float x = 0;
    for (int note = 0; note < 128; ++note) {
        const int pitchClass = note % 12;
        QGraphicsRectItem *rect;
        if (!isBlackKey(note)) {
            rect = scene->addRect(x, 0, keyWidth, keyHeight);
            // E and B have no black key to their right.
            x += (pitchClass == 4 || pitchClass == 11) ? keyWidth + 1 : keyWidth / 2 + 1;
        } else {
            rect = scene->addRect(x, 0, keyWidth, keyHeight / 2, QPen(Qt::black),
                                  QBrush(Qt::black, Qt::SolidPattern));
            rect->setZValue(2.0);
            x += keyWidth / 2 + 1;
        }
        keys.append(rect);
    }
    setScene(scene);
}

QMidiPianoRoll::~QMidiPianoRoll()
{
    // The view does not own its scene; the keys go with it.
    delete scene;
}

bool QMidiPianoRoll::isBlackKey(int note)
{
    const int pitchClass = note % 12;
    if (pitchClass < 0)
        return true;
    return !((0xAB5 >> pitchClass) & 1);
}

void QMidiPianoRoll::onMidiReceive(QMidiMessage *message)
{
    if (!message)
        return;
    const int pitch = message->pitch();
    if (pitch < 0 || pitch >= keys.size())
        return;
    if (message->status() == 0x90) {
        keys[pitch]->setBrush(QBrush(QColor(0, 0, 200, qBound(0, 2 * message->velocity(), 255))));
    } else if (message->status() == 0x80) {
        keys[pitch]->setBrush(QBrush(isBlackKey(pitch) ? Qt::black : Qt::white));
    }
}
