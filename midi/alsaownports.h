#ifndef ALSAOWNPORTS_H
#define ALSAOWNPORTS_H

#include <string>

// Tells the ALSA ports of this process's port objects from devices: RtMidi
// lists every sequencer port, ours among them ("RtMidi Input Client:RtMidi
// Input 130:0"). Asked on the port objects' thread.
namespace AlsaOwnPorts {

bool isOwn(const std::string &listed);

} // namespace AlsaOwnPorts

#endif
