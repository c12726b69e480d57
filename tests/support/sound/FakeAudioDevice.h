#pragma once
#include "sound/AudioDevice.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A device without output whose time moves only when a test says so. It keeps
// every channel's state for the test to read and logs the calls that decide
// lifetimes (play, stop, release) in order.
class FakeAudioDevice final : public AudioDevice {
public:
    struct ChannelState {
        bool active = false;
        bool finished = false;  // ended by itself; freed by the next update
        std::uint32_t generation = 1;
        bool paused = true, loop = false, positioned = false;
        SampleId sample = 0;
        StreamId stream = 0;
        int rate = 0;
        float volume = 1.0f, frequency = 0.0f;
        double frame = 0.0;  // play position in frames
        Vec3 position, velocity;
        float minDistance = 1.0f, maxDistance = 10000.0f;
    };

    const char* outputName() const override { return "fake"; }
    SampleId createSample(const PcmBuffer& pcm) override;
    void releaseSample(SampleId sample) override;
    StreamId createStream(std::unique_ptr<PcmDecoder> decoder) override;
    void releaseStream(StreamId stream) override;
    Channel playSample(SampleId sample) override;
    Channel playStream(StreamId stream) override;
    bool isPlaying(Channel channel) const override;
    bool isPaused(Channel channel) const override;
    void setPaused(Channel channel, bool paused) override;
    void stop(Channel channel) override;
    void setVolume(Channel channel, float volume) override;
    void setFrequency(Channel channel, float hertz) override;
    void setLoop(Channel channel, bool loop) override;
    void setPositionMs(Channel channel, std::uint32_t ms) override;
    std::uint32_t positionMs(Channel channel) const override;
    void set3D(Channel channel, bool positioned) override;
    void set3DAttributes(Channel channel, const Vec3& position, const Vec3& velocity) override;
    void set3DMinMaxDistance(Channel channel, float minDistance, float maxDistance) override;
    void set3DConeOrientation(Channel, const Vec3&) override {}
    void set3DConeSettings(Channel, float, float, float) override {}
    void set3DDopplerLevel(Channel, float) override {}
    void setMasterVolume(float volume) override { m_master = volume; }
    float masterVolume() const override { return m_master; }
    void setListener(const Vec3& position, const Vec3& forward, const Vec3& up) override
    {
        listenerPosition = position;
        listenerForward = forward;
        listenerUp = up;
    }
    Vec3 listenerPosition, listenerForward, listenerUp;
    void update() override;

    // Moves time on for every unpaused channel.
    void advance(double seconds);
    // The channel's state; null for a stale handle.
    const ChannelState* state(Channel channel) const;
    int activeChannels() const;
    std::size_t sampleCount() const { return m_samples.size(); }
    std::size_t streamCount() const { return m_streams.size(); }
    const std::vector<std::string>& log() const { return m_log; }
    // Every sample a channel started, in order; a sample rewound to its
    // start counts again.
    const std::vector<SampleId>& playedSamples() const { return m_played; }
    void clearLog()
    {
        m_log.clear();
        m_played.clear();
    }

private:
    struct Sample {
        int rate;
        std::size_t frames;
    };
    ChannelState* live(Channel channel);
    void freeSlot(std::size_t slot);

    std::array<ChannelState, kChannels> m_channels{};
    std::map<SampleId, Sample> m_samples;
    std::map<StreamId, std::unique_ptr<PcmDecoder>> m_streams;
    std::uint32_t m_nextId = 1;
    float m_master = 1.0f;
    std::vector<std::string> m_log;
    std::vector<SampleId> m_played;
};
