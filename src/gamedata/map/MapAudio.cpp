#include "gamedata/map/MapAudio.h"

#include "platform/Settings.h"
#include "sound/Sound.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

void SoundMapAudio::playMusic(const std::string& file, bool loop)
{
    playTriggerMusic(file.c_str(), loop, settings());
}

void SoundMapAudio::stopMusic() { playTriggerMusic(nullptr, false, settings()); }

void SoundMapAudio::playSound(const std::string& file)
{
    if (!Sound::isStarted() || !settings().soundOn || file.empty())
        return;
    auto* source = new SoundSourceStreamed(true);
    if (!source->isRegistered()) {  // 128 sources already: no room for one more
        delete source;
        return;
    }
    source->open(file.c_str());
    source->play();
}
