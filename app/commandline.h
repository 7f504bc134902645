#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>
#include <QStringList>
#include <RtMidi.h>

// What the program was asked for on its command line and in its environment:
// help, the version, or a run on a given MIDI service. Read once by main
// before the window exists. GUI thread.
class CommandLine
{
public:
    // Reads the arguments (the program's name first; Qt's own options, which
    // the GUI's application object takes out, are passed over) and the value
    // of TARNAPP_MIDI_API, empty when it is not set. The option wins over the
    // environment.
    void parse(const QStringList &arguments, const QString &environmentApi);

    // True when the program should print its texts and stop with exitCode()
    // instead of running.
    bool exits() const { return exitStatus >= 0; }
    int exitCode() const { return exitStatus; }
    const QString &standardOutput() const { return outText; }
    const QString &errorOutput() const { return errorText; }
    // Prints the texts to the standard streams; returns exitCode().
    int report() const;

    // The MIDI service to use; UNSPECIFIED lets the library choose.
    RtMidi::Api midiApi() const { return api; }

private:
    void fail(const QString &message, const QString &usage);

    int exitStatus = -1;
    QString outText;
    QString errorText;
    RtMidi::Api api = RtMidi::UNSPECIFIED;
};

#endif
