#pragma once
#include "platform/Math.h"
#include "sound/AudioDevice.h"
#include "sound/SoundData.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <memory>

// The one sound system of the game. Started once at start-up, updated once per
// frame after the screens; every other library plays through the global
// sources of SoundTable.h or through the factories here. Main thread only.
class Sound {
public:
    // Opens the output (the null output when the machine has none), loads the
    // sound table, makes the global sources and sets the master volume to 0;
    // the caller then applies the saved volumes. Over a running system it
    // closes that one first. False only when OpenAL cannot start at all.
    [[nodiscard]] static bool init();
    // The same over a given device (the tests' fake or a loopback device).
    [[nodiscard]] static bool init(std::unique_ptr<AudioDevice> device);
    // Deletes every source and sound and closes the device.
    static void close();
    static bool isStarted() { return device() != nullptr; }
    // The device under the system; null before init.
    static AudioDevice* device();

    // Per frame: sources that stopped playing are deleted (auto-delete) or
    // stopped; the duck factor is re-applied; the device is updated.
    static void update();
    // Pauses every channel and drops the solo source.
    static void pauseAll();
    // Unpauses the paused channels; a channel playing unpaused (a menu click
    // started during the pause) goes on undisturbed.
    static void resumeAll();
    // Stops every source (they stay; auto-delete ones go in the next update)
    // and drops the solo source.
    static void stopAll();
    // True between pauseAll and the next resumeAll or stopAll.
    static bool isPaused();
    // Every source but solo plays at its volume x factor from the next update
    // on; a null source puts the full volumes back.
    static void setSolo(SoundSource* solo, float factor);
    static SoundSource* solo();
    static float duckFactor();

    // Factories; the caller owns what is not auto-deleted. Null when 128
    // sources exist (or no system runs): callers check.
    static SoundSourceStreamed* createStreamSource(bool loop);
    static SoundSourceBuffered* createSource2D(SoundData* sound, bool loop);
    static SoundSourceBuffered* createLoopSource3D(SoundData* sound);
    // Already playing; deletes itself in the first update after it ends.
    static SoundSourceBuffered* createSource3D(SoundData* sound, const Vec3& position);
    // The same, flat (announcements).
    static SoundSourceBuffered* createOneShot2D(SoundData* sound);

    // Over every channel, effects and music alike.
    static void setMasterVolume(float volume);
    static float masterVolume();
    // Once per scene update: the camera.
    static void setListener(const Vec3& position, const Vec3& forward, const Vec3& up);
};
