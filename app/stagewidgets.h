#ifndef STAGEWIDGETS_H
#define STAGEWIDGETS_H

#include <QList>

class QLabel;
class QPushButton;

// The main window's widgets that the status display colours and the stage
// layout arranges, made once by the window. GUI thread.
struct StageWidgets
{
    QLabel *hardLamp;
    QLabel *hardCaption;
    QLabel *remoteLamp;
    QLabel *remoteCaption;
    QLabel *message;
    QList<QPushButton *> presetButtons;
    QPushButton *setting;
};

#endif
