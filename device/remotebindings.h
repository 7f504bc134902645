#ifndef REMOTEBINDINGS_H
#define REMOTEBINDINGS_H

#include "presets.h"
#include "remotebinding.h"

#include <array>

// What the remote controller can ask for; the first six choose a preset.
enum class RemoteAction
{
    Preset1,
    Preset2,
    Preset3,
    Preset4,
    Preset5,
    Preset6,
    Previous,
    Next,
    FootSwitch,
    // Steps through the loaded setlist; unbound by default.
    NextPart,
    PreviousPart,
    NextSong,
    PreviousSong
};

// The actions' bindings, where one message never fires two actions once
// bound through bind(). Value type; any thread.
class RemoteBindings
{
public:
    static constexpr int actionCount = 13;

    // The pad controller the program was made for: Note On 54 to 59 at velocity
    // 127 choose the presets, Note On 69 at velocity 0 is the foot switch, both
    // on any channel.
    static RemoteBindings defaults();
    static RemoteBinding defaultBinding(RemoteAction action);

    const RemoteBinding &at(RemoteAction action) const { return bindings[index(action)]; }
    // Binds the action and unbinds every other action the binding overlaps.
    void bind(RemoteAction action, const RemoteBinding &binding);
    // Binds without unbinding others (as a hand-edited file may ask).
    void set(RemoteAction action, const RemoteBinding &binding)
    {
        bindings[index(action)] = binding;
    }

    // The message for preset 0 to 5's lamp, lit when it is the active preset;
    // empty when its binding has no lamp.
    ByteVector lamp(int preset, bool active) const;

    static int index(RemoteAction action) { return static_cast<int>(action); }
    static bool stepsSetlist(RemoteAction action) { return action >= RemoteAction::NextPart; }
    static RemoteAction action(int index) { return static_cast<RemoteAction>(index); }

    bool operator==(const RemoteBindings &other) const { return bindings == other.bindings; }
    bool operator!=(const RemoteBindings &other) const { return bindings != other.bindings; }

private:
    std::array<RemoteBinding, actionCount> bindings;
};

#endif
