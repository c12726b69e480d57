#include "effects/screen/FaintMeter.h"

#include "sound/Sound.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>

namespace {
float s_value = 0.0f;
float s_start = 4.5f;
float s_end = 8.5f;
float s_rangeInverse = 0.25f;

SoundSourceBuffered* faintSource() { return globalSources().faint; }

void silence()
{
    SoundSourceBuffered* source = faintSource();
    if (source && source->isPlaying()) {
        if (Sound::solo() == source)
            Sound::setSolo(nullptr, 1.0f);
        source->stop();
    }
}
}  // namespace

namespace Effects {

void cachePlayerRange(float faintStart, float faintEnd)
{
    s_start = std::isfinite(faintStart) ? faintStart : 4.5f;
    s_end = std::isfinite(faintEnd) ? faintEnd : 8.5f;
    const float range = s_end - s_start;
    // A record without a range (end at or below the start) faints all at
    // once: full volume as soon as the meter passes the start.
    s_rangeInverse = range > 0.0f ? 1.0f / range : 0.0f;
}

float faintVolume(float value)
{
    const float over = std::fabs(value) - s_start;
    if (!(over > 0.0f))
        return 0.0f;
    if (s_rangeInverse <= 0.0f)
        return 1.0f;
    return std::min(over * s_rangeInverse, 1.0f);
}

void updateFaint(const FaintInput& in, float dt)
{
    if (!in.active) {
        s_value = 0.0f;
    } else if (in.speed <= 125.0f || in.recovering) {
        s_value += s_value >= 0.0f ? -dt : dt;
    } else {
        const float sign = s_value >= 0.0f ? 1.0f : -1.0f;
        s_value += (2.0f * in.load - sign) * dt;
    }
    const float limit = std::fabs(s_end);
    s_value = std::isfinite(s_value) ? std::clamp(s_value, -limit, limit) : 0.0f;

    SoundSourceBuffered* source = faintSource();
    if (std::fabs(s_value) > s_start) {
        const float volume = faintVolume(s_value);
        if (source) {
            source->setVolume(volume);
            Sound::setSolo(source, std::clamp(1.0f - volume, 0.25f, 1.0f));
            if (!source->isPlaying())
                source->play();
        }
    } else {
        silence();
    }
}

void resetFaint()
{
    s_value = 0.0f;
    silence();
}

float faintValue() { return s_value; }
float faintStart() { return s_start; }
float faintEnd() { return s_end; }

}  // namespace Effects
