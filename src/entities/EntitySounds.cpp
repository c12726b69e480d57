#include "entities/EntitySounds.h"

#include "sound/Sound.h"
#include "sound/SoundSource.h"

void playSource(SoundSourceBuffered* source)
{
    if (source)
        source->play();
}

void playSoundAt(SoundName name, const Vec3& at)
{
    if (!Sound::isStarted())
        return;
    if (SoundData* sound = soundTable()[name])
        Sound::createSource3D(sound, at);
}
