#pragma once
#include "gamedata/map/MapHooks.h"

// Trigger music and sounds through the sound system: the music action plays
// on the global music source (when music is on), a sound action plays each
// file on a new streamed source that deletes itself (when sound is on).
// Silent while no sound system runs. A world uses it unless its hooks name
// another.
class SoundMapAudio final : public IMapAudio {
public:
    void playMusic(const std::string& file, bool loop) override;
    void stopMusic() override;
    void playSound(const std::string& file) override;
};
