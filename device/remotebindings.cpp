#include "remotebindings.h"

#include "remoteprotocol.h"

using namespace RemoteProtocol;

RemoteBindings RemoteBindings::defaults()
{
    RemoteBindings defaults;
    for (int i = 0; i < actionCount; ++i)
        defaults.bindings[i] = defaultBinding(action(i));
    return defaults;
}

RemoteBinding RemoteBindings::defaultBinding(RemoteAction action)
{
    const int i = index(action);
    if (i < PresetCount)
        return RemoteBinding::note(RemoteBinding::anyChannel, FirstPadNote + i, PadVelocity);
    if (action == RemoteAction::FootSwitch)
        return RemoteBinding::note(RemoteBinding::anyChannel, FootSwitchNote, FootSwitchVelocity);
    return RemoteBinding();
}

void RemoteBindings::bind(RemoteAction action, const RemoteBinding &binding)
{
    for (RemoteBinding &other : bindings) {
        if (other.overlaps(binding))
            other = RemoteBinding();
    }
    bindings[index(action)] = binding;
}

ByteVector RemoteBindings::lamp(int preset, bool active) const
{
    return preset >= 0 && preset < PresetCount ? bindings[preset].lamp(active) : ByteVector();
}
