#include "gamedata/map/MapAudio.h"

#include "platform/Settings.h"
#include "sound/SoundTable.h"

void SoundMapAudio::playMusic(const std::string& file, bool loop)
{
    playTriggerMusic(file.c_str(), loop, settings());
}

void SoundMapAudio::stopMusic() { playTriggerMusic(nullptr, false, settings()); }

void SoundMapAudio::playSound(const std::string& file)
{
    if (!file.empty())
        playTriggerSound(file.c_str(), settings());
}
