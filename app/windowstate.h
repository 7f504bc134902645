#ifndef WINDOWSTATE_H
#define WINDOWSTATE_H

class StageLayout;
class WindowFit;

// The main window's state file (DispStatus.ini): its size, place and font
// size, read at start-up and written when the window goes. GUI thread.
class WindowState
{
public:
    static void restore(StageLayout &stage, WindowFit &fit);
    static void save(StageLayout &stage, WindowFit &fit);
};

#endif
