// A build without JACK: RtMidi's JACK API is never used, so there is no
// server to watch and the watch never reports a loss.
#include "midiservicewatch.h"

MidiServiceWatch::MidiServiceWatch(std::function<void()> onLost) : m_onLost(std::move(onLost)) {}

MidiServiceWatch::~MidiServiceWatch() = default;

void MidiServiceWatch::watch() {}

void MidiServiceWatch::awaitGraphAnnouncements() const {}

void MidiServiceWatch::onShutdown(void *) {}
