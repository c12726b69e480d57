#pragma once
#include "platform/Math.h"
#include "sound/SoundTable.h"

class SoundSourceBuffered;

// The entities' side of the sound library. Both calls do nothing while the
// sound system is down (tools, tests without sound, a machine without audio).

// Plays one of the global sources from its start; null plays nothing.
void playSource(SoundSourceBuffered* source);
// A sound of the table once at a point in the world; the source deletes
// itself when it ends. Nothing when the sound's file is missing.
void playSoundAt(SoundName name, const Vec3& at);
