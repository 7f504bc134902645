#ifndef SIMULATOROPTIONS_H
#define SIMULATOROPTIONS_H

#include "hardmessages.h"

#include <QStringList>

#include <string>

// The simulator's command line: MIDI API, client names, serial number and pad controller.
// Parsed once on the main thread at start.
class SimulatorOptions
{
public:
    enum class Api
    {
        Auto,
        Alsa,
        Jack
    };
    enum class Outcome
    {
        Run,
        Help,
        Error
    };

    SimulatorOptions();

    // Reads the arguments that follow the program name; on Error, error() tells why.
    Outcome parse(const QStringList &args);
    const std::string &error() const { return errorText; }
    static std::string usage();

    // Eight hexadecimal bytes, each below 80, separated by "-", ":" or spaces.
    static bool parseSerial(const std::string &text, ByteVector &serial);

    // On ALSA each library object is a client of its own, named "<name> In" and so on; on
    // JACK all ports belong to one client named <name>.
    std::string unitInClient() const { return name + " In"; }
    std::string unitOutClient() const { return name + " Out"; }
    std::string padsInClient() const { return name + " Pads In"; }
    std::string padsOutClient() const { return name + " Pads Out"; }
    static constexpr const char *unitInPort = "unit-in";
    static constexpr const char *unitOutPort = "unit-out";
    static constexpr const char *padsInPort = "pads-in";
    static constexpr const char *padsOutPort = "pads-out";

    Api api = Api::Auto;
    std::string name = "TarnUnitSim";
    ByteVector serial; // 12 34 56 78 01 02 03 04 unless given
    bool pads = false;
    int delayMs = 0;   // every reply this much late
    int dropFirst = 0; // the first requests lost after each opening

private:
    std::string errorText;
};

#endif
