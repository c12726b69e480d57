#pragma once
#include <span>

// The sounds the HUD messages make. The HUD only asks for them; whoever owns
// the sound system installs an implementation (none: the messages are silent).
class IHudSounds {
public:
    virtual ~IHudSounds() = default;
    // The message source plays "data/sounds/msgSound.wav" (a message shows).
    virtual void playMessageSound() = 0;
    // A 2-D source that deletes itself after playing `file` (announcements).
    virtual void playAnnouncer(int index, const char* file) = 0;
};

// Null removes the implementation. The HUD does not own it.
void setHudSounds(IHudSounds* sounds);
IHudSounds* hudSounds();

constexpr const char* kHudMessageSoundFile = "data/sounds/msgSound.wav";
// The announcer sounds by index: lead taken, lost and tied, kill streaks.
std::span<const char* const> hudAnnouncerSounds();
