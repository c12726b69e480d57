#pragma once
#include "platform/Math.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class File;

// Decoded sound: interleaved signed 16-bit frames.
struct PcmBuffer {
    int rate = 0;      // frames per second
    int channels = 0;  // 1 or 2
    std::vector<std::int16_t> samples;
    std::size_t frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

// A sound read piece by piece, for streams and for loading whole.
class PcmDecoder {
public:
    virtual ~PcmDecoder() = default;
    virtual int rate() const = 0;
    virtual int channels() const = 0;
    // Up to frames interleaved frames into out (room for frames * channels()
    // samples); the count read, 0 at the end or on a damaged file.
    virtual std::size_t read(std::int16_t* out, std::size_t frames) = 0;
    // Back to the first frame; false when the file cannot seek.
    [[nodiscard]] virtual bool rewind() = 0;
};

// The decoder that fits the file's contents ("RIFF" WAV, else MP3); null
// when neither reads it. The decoder owns the file from then on.
std::unique_ptr<PcmDecoder> openDecoder(std::unique_ptr<File> file);
// The whole file decoded; false when it is no readable sound or holds no frame.
// maxFrames bounds the memory a damaged or hostile header can ask for.
[[nodiscard]] bool decodeWhole(std::unique_ptr<File> file, PcmBuffer& out, std::size_t maxFrames = 48000u * 600u);

// A voice of the device: a slot and the generation it was handed out in. A
// stopped, finished or stolen voice bumps its slot's generation, so an old
// handle turns stale and every call on it does nothing.
struct Channel {
    std::uint32_t slot = 0;
    std::uint32_t generation = 0;  // 0: no channel
    explicit operator bool() const { return generation != 0; }
    bool operator==(const Channel&) const = default;
};

using SampleId = std::uint32_t;  // a sound decoded into memory; 0 is none
using StreamId = std::uint32_t;  // a sound decoded while it plays; 0 is none

// The audio library under the sound system: what the game's sound code asks of
// it, shaped like a small channel-based mixer. Positions are right-handed world
// units (metres); 3-D roll-off is inverse between the minimum and maximum
// distance, constant inside the minimum and beyond the maximum.
class AudioDevice {
public:
    static constexpr int kChannels = 32;

    virtual ~AudioDevice() = default;
    // For the start-up log: the output device, or "null output".
    virtual const char* outputName() const = 0;

    virtual SampleId createSample(const PcmBuffer& pcm) = 0;  // 0 when refused
    virtual void releaseSample(SampleId sample) = 0;           // stops its channels first
    virtual StreamId createStream(std::unique_ptr<PcmDecoder> decoder) = 0;
    virtual void releaseStream(StreamId stream) = 0;           // stops its channel first

    // A new channel, paused, 2-D, volume 1, no loop. When all voices are busy
    // the least audible one is stolen. A stream plays on one channel at a
    // time: playing it again stops its old channel. None for an unknown id.
    virtual Channel playSample(SampleId sample) = 0;
    virtual Channel playStream(StreamId stream) = 0;

    // Playing or paused; false for a finished, stopped or stolen channel.
    virtual bool isPlaying(Channel channel) const = 0;
    virtual bool isPaused(Channel channel) const = 0;
    virtual void setPaused(Channel channel, bool paused) = 0;
    virtual void stop(Channel channel) = 0;
    virtual void setVolume(Channel channel, float volume) = 0;       // above 1 amplifies
    virtual void setFrequency(Channel channel, float hertz) = 0;     // playback rate
    virtual void setLoop(Channel channel, bool loop) = 0;            // forever or once
    virtual void setPositionMs(Channel channel, std::uint32_t ms) = 0;  // streams: only 0
    virtual std::uint32_t positionMs(Channel channel) const = 0;
    virtual void set3D(Channel channel, bool positioned) = 0;
    virtual void set3DAttributes(Channel channel, const Vec3& position, const Vec3& velocity) = 0;
    virtual void set3DMinMaxDistance(Channel channel, float minDistance, float maxDistance) = 0;
    virtual void set3DConeOrientation(Channel channel, const Vec3& direction) = 0;
    // Angles in degrees; 360 and 360 is no cone.
    virtual void set3DConeSettings(Channel channel, float insideAngle, float outsideAngle, float outsideVolume) = 0;
    virtual void set3DDopplerLevel(Channel channel, float level) = 0;

    virtual void setMasterVolume(float volume) = 0;  // over every channel
    virtual float masterVolume() const = 0;
    virtual void setListener(const Vec3& position, const Vec3& forward, const Vec3& up) = 0;
    // Once per frame: refills streams, frees finished voices.
    virtual void update() = 0;
};
