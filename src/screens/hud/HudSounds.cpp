#include "screens/hud/HudSounds.h"

#include "sound/Sound.h"
#include "sound/SoundData.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <array>

namespace {

// Entries 4 and 5 (team lead taken and lost) reuse the individual sounds.
constexpr std::array<const char*, 15> kAnnouncers = {
    "data/sounds/beep.wav",        "data/sounds/takenlead.wav",   "data/sounds/lostlead.wav",
    "data/sounds/tiedlead.wav",    "data/sounds/takenlead.wav",   "data/sounds/lostlead.wav",
    "data/sounds/1frag.wav",       "data/sounds/2frags.wav",      "data/sounds/3frags.wav",
    "data/sounds/double_kill.wav", "data/sounds/triple_kill.wav", "data/sounds/ultrakill.wav",
    "data/sounds/rampage.wav",     "data/sounds/unstoppable.wav", "data/sounds/godlike.wav",
};

}  // namespace

void playHudMessageSound()
{
    if (SoundSourceBuffered* source = globalSources().msgSound)
        source->play();
}

void playHudAnnouncer(int index)
{
    if (index < 0 || index >= static_cast<int>(kAnnouncers.size()) || !Sound::isStarted())
        return;
    if (SoundData* sound = SoundData::load(kAnnouncers[static_cast<std::size_t>(index)]))
        Sound::createOneShot2D(sound);
}

std::span<const char* const> hudAnnouncerSounds()
{
    return kAnnouncers;
}
