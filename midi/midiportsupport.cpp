#include "midiportsupport.h"

#include "tarnconfig.h"

#include "nomidibackend.h"
#include "rtmidiinbackend.h"
#include "rtmidioutbackend.h"

#ifdef TARNAPP_WITH_JACK
#include "jackmidiin.h"
#include "jackmidiout.h"
#else
class JackMidiIn;
class JackMidiOut;
#endif

#include <QCoreApplication>

namespace MidiPortSupport {

namespace {

RtMidi::Api chosenApi = RtMidi::UNSPECIFIED;
RtMidi::Api lastMade = RtMidi::UNSPECIFIED;

// Ours on JACK; null when no JACK server runs, or in a build without JACK.
template <class JackPort, class Backend> std::unique_ptr<Backend> jackPort()
{
#ifdef TARNAPP_WITH_JACK
    try {
        return std::make_unique<JackPort>(jackClientName());
    } catch (const RtMidiError &) {
    }
#endif
    return nullptr;
}

template <class Backend, class RtBackend, class Library, class... Args>
std::unique_ptr<Backend> create(std::unique_ptr<Backend> (*makeJack)(), const Args &...args)
{
    const auto library = [&](RtMidi::Api api) -> std::unique_ptr<Backend> {
        try {
            return std::make_unique<RtBackend>(std::make_unique<Library>(api, args...));
        } catch (const RtMidiError &) {
            return nullptr;
        }
    };
    // Never null; its service is what the port watch follows.
    const auto orNone = [](std::unique_ptr<Backend> made) -> std::unique_ptr<Backend> {
        if (!made)
            made = std::make_unique<NoMidiBackend>();
        lastMade = made->api();
        return made;
    };
    const RtMidi::Api chosen = preferredApi();
    if (chosen == RtMidi::UNIX_JACK)
        return orNone(makeJack());
    if (chosen != RtMidi::UNSPECIFIED)
        return orNone(library(chosen));
    // The library's own choice, but never its JACK objects: each would be a
    // JACK client of its own (see JackMidiClient).
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    std::unique_ptr<Backend> fallback;
    for (RtMidi::Api api : apis) {
        if (api == RtMidi::UNIX_JACK || api == RtMidi::RTMIDI_DUMMY)
            continue;
        std::unique_ptr<Backend> made = library(api);
        if (made && made->portCount() > 0)
            return orNone(std::move(made));
        if (!fallback)
            fallback = std::move(made);
    }
    if (std::unique_ptr<Backend> jack = makeJack())
        return orNone(std::move(jack));
    return orNone(std::move(fallback));
}

} // namespace

std::string jackClientName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? std::string("RtMidi") : name.toStdString();
}

void setPreferredApi(RtMidi::Api api)
{
    chosenApi = api;
}

RtMidi::Api preferredApi()
{
    return chosenApi;
}

RtMidi::Api service()
{
    return chosenApi != RtMidi::UNSPECIFIED ? chosenApi : lastMade;
}

std::unique_ptr<MidiInputBackend> createInput()
{
    return create<MidiInputBackend, RtMidiInBackend, RtMidiIn>(
        &jackPort<JackMidiIn, MidiInputBackend>, std::string("RtMidi Input Client"), 100u);
}

std::unique_ptr<MidiOutputBackend> createOutput()
{
    return create<MidiOutputBackend, RtMidiOutBackend, RtMidiOut>(
        &jackPort<JackMidiOut, MidiOutputBackend>, std::string("RtMidi Output Client"));
}

} // namespace MidiPortSupport
