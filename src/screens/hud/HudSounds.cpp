#include "screens/hud/HudSounds.h"

#include <array>

namespace {

IHudSounds* g_sounds = nullptr;

// Entries 4 and 5 (team lead taken and lost) reuse the individual sounds.
constexpr std::array<const char*, 15> kAnnouncers = {
    "data/sounds/beep.wav",        "data/sounds/takenlead.wav",   "data/sounds/lostlead.wav",
    "data/sounds/tiedlead.wav",    "data/sounds/takenlead.wav",   "data/sounds/lostlead.wav",
    "data/sounds/1frag.wav",       "data/sounds/2frags.wav",      "data/sounds/3frags.wav",
    "data/sounds/double_kill.wav", "data/sounds/triple_kill.wav", "data/sounds/ultrakill.wav",
    "data/sounds/rampage.wav",     "data/sounds/unstoppable.wav", "data/sounds/godlike.wav",
};

}  // namespace

void setHudSounds(IHudSounds* sounds)
{
    g_sounds = sounds;
}

IHudSounds* hudSounds()
{
    return g_sounds;
}

std::span<const char* const> hudAnnouncerSounds()
{
    return kAnnouncers;
}
