#ifndef FUZZWINDOW_H
#define FUZZWINDOW_H

#include <QString>

#include <memory>

class RtMidiIn;
class RtMidiOut;
class TarnAppMainWindow;

// The main window as the program runs it, for the targets that feed its MIDI
// slots: built once and initialised, with its hardware and remote ports open
// on the JACK server that JACK_DEFAULT_SERVER names when one answers. The
// ports lead to a sink client of our own that swallows whatever the window
// sends, so the link goes through all its states. GUI thread (the fuzzer's
// only thread); the sink's input callback runs on JACK's thread and does
// nothing.
class FuzzWindow
{
public:
    // Needs the QApplication of a FuzzEnvironment.
    FuzzWindow();
    ~FuzzWindow();
    FuzzWindow(const FuzzWindow &) = delete;
    FuzzWindow &operator=(const FuzzWindow &) = delete;

    TarnAppMainWindow &window() { return *m_window; }
    bool portsOpen() const { return m_portsOpen; }

    // Starts the link afresh, as a reconnect from the settings dialog does:
    // the serial request goes out and no serial number is held.
    void reconnect();
    // Puts the settings dialog's foot-switch list at a position (-1: none).
    void setFootSwitchPosition(int position);

private:
    bool openSink();

    QString m_sinkInName;
    QString m_sinkOutName;
    std::unique_ptr<RtMidiIn> m_sinkIn;
    std::unique_ptr<RtMidiOut> m_sinkOut;
    std::unique_ptr<TarnAppMainWindow> m_window;
    bool m_portsOpen = false;
};

#endif
