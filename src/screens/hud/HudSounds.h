#pragma once
#include <span>

// The sounds the HUD messages make, played straight through the sound
// library; silent while the sound system is down.

// The message source plays "data/sounds/msgSound.wav" (a message shows).
void playHudMessageSound();
// A flat one-shot of announcer sound `index` that deletes itself after
// playing; an index outside the table or a missing file plays nothing.
void playHudAnnouncer(int index);

constexpr const char* kHudMessageSoundFile = "data/sounds/msgSound.wav";
// The announcer sounds by index: lead taken, lost and tied, kill streaks.
std::span<const char* const> hudAnnouncerSounds();
