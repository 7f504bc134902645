#ifndef PRESETS_H
#define PRESETS_H

// The unit's stored presets: how many there are and how a step moves through
// them, one rule for the keys, the pads and the settings. Any thread.
constexpr int PresetCount = 6;

// The preset a step (+1 or -1) leads to from the reported one: from none
// reported, the first; -1 past either end, as there is no wrap-around.
int steppedPreset(int reported, int step);

#endif
