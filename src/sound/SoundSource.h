#pragma once
#include "platform/ManagedArray.h"
#include "platform/Math.h"
#include "sound/AudioDevice.h"

#include <memory>
#include <string>
#include <string_view>

class SoundData;

// One voice of the game: a source holds at most one channel of the device at a
// time. States: idle (no channel), playing, paused (channel paused), finished
// (the channel ended; the next Sound::update stops the source, or deletes it
// when it deletes itself).
//
// A source made while 128 are registered stays unregistered and never plays:
// the sound system could neither pause, duck nor delete it. The factories of
// Sound refuse such a source and give null.
class SoundSource : public ManagedArray<SoundSource, 128> {
public:
    virtual ~SoundSource();
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;

    Channel channel() const { return m_channel; }
    // Channel volume := volume x factor; the stored volume stays.
    virtual void applyDuck(float factor);
    // Stops and drops the channel.
    virtual void stop();
    // From idle: a new channel. Paused: goes on. Playing: starts again from the beginning.
    virtual void play() = 0;
    virtual void pause();
    virtual void stopAlias() { stop(); }
    // Stored, and set on the channel when there is one.
    virtual void setVolume(float volume);
    virtual void setLoop(bool loop);
    // False without a channel; a looping source answers its own playing flag
    // (true from play to stop, even when its voice was taken); otherwise the
    // channel's state, which counts a paused channel as playing.
    virtual bool isPlaying() const;

    float volume() const { return m_volume; }
    bool loop() const { return m_loop; }
    bool autoDelete() const { return m_autoDelete; }

protected:
    explicit SoundSource(bool autoDelete) : m_autoDelete(autoDelete) {}
    // Unpauses a paused channel, else restarts it from the beginning.
    void resumeOrRestart();

    Channel m_channel;
    float m_volume = 1.0f;
    bool m_loop = false;
    bool m_playing = false;
    bool m_autoDelete;
};

// A loaded sound played flat (2-D) or placed in the world (3-D).
class SoundSourceBuffered : public SoundSource {
public:
    SoundSourceBuffered(bool autoDelete, bool positioned);

    void play() override;

    SoundData* sound() const { return m_sound; }
    // Takes another sound: stopped, and started again only if it was playing.
    void setSound(SoundData* sound);

    // Frequency factor over the sound's own rate; applyPitch sets it on the channel.
    float pitch() const { return m_pitch; }
    void setPitch(float pitch) { m_pitch = pitch; }
    void applyPitch();

    // 3-D placement: stored, and given to the channel when it exists and is 3-D.
    void set3DAttributes(const Vec3& position, const Vec3& velocity);
    void setMinMaxDistance(float minDistance, float maxDistance);
    void setConeOrientation(const Vec3& direction);
    const Vec3& position() const { return m_position; }
    float minDistance() const { return m_minDistance; }
    float maxDistance() const { return m_maxDistance; }
    bool positioned() const { return m_positioned; }

private:
    SoundData* m_sound = nullptr;  // not owned
    float m_pitch = 1.0f;
    Vec3 m_position, m_coneOrientation, m_velocity;
    float m_minDistance = 1.0f, m_maxDistance = 1000.0f;
    float m_dopplerLevel = 1.0f;
    float m_coneOutsideVolume = 0.5f, m_coneOutsideAngle = 360.0f, m_coneInsideAngle = 360.0f;
    bool m_positioned;
};

// A sound file (music) decoded while it plays, 2-D.
class SoundSourceStreamed : public SoundSource {
public:
    explicit SoundSourceStreamed(bool autoDelete) : SoundSource(autoDelete) {}
    ~SoundSourceStreamed() override;

    void play() override;
    // Switches to the file and plays it from the start. The file already open
    // restarts without being read again; null stops and releases the stream.
    // A file that cannot be opened leaves the source silent until the next open.
    void open(const char* name);

    // The open file's name; empty when none.
    const std::string& fileName() const;
    bool hasStream() const { return m_stream != nullptr; }

private:
    struct StreamRecord {
        StreamId stream = 0;
        std::string name;
    };
    void releaseStream();

    std::unique_ptr<StreamRecord> m_stream;
};
