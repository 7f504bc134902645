#ifndef QMIDIPIANOROLL_H
#define QMIDIPIANOROLL_H

#include <QGraphicsView>
#include <QVector>

class QGraphicsRectItem;
class QGraphicsScene;
class QMidiMessage;

// A keyboard of all 128 MIDI notes that lights a key per Note On and restores
// it on Note Off. GUI thread.
class QMidiPianoRoll : public QGraphicsView
{
    Q_OBJECT
public:
    explicit QMidiPianoRoll(QWidget *parent = nullptr);
    ~QMidiPianoRoll() override;

    static bool isBlackKey(int note);
    // The key rectangle of a note, for callers that draw beside the keyboard.
    QGraphicsRectItem *key(int note) const { return keys.value(note, nullptr); }

public slots:
    void onMidiReceive(QMidiMessage *message);

private:
    QGraphicsScene *scene;
    int keyWidth;
    int keyHeight;
    QVector<QGraphicsRectItem *> keys;
};

#endif
