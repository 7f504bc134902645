#ifndef WINDOWSTATE_H
#define WINDOWSTATE_H

class TarnAppMainWindow;

// The main window's state file (DispStatus.ini): its size, place and font
// size, read at start-up and written when the window goes. GUI thread.
class WindowState
{
public:
    static void restore(TarnAppMainWindow &window);
    static void save(TarnAppMainWindow &window);
};

#endif
