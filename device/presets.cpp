#include "presets.h"

int steppedPreset(int reported, int step)
{
    if (reported < 0)
        return 0;
    const int next = reported + step;
    return next >= 0 && next < PresetCount ? next : -1;
}
