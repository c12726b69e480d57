#pragma once
#include "sound/AudioDevice.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// AudioDevice over OpenAL Soft. Each of the 32 channels owns one AL source;
// loaded sounds are AL buffers (mono, so that OpenAL can position them);
// streams queue a few buffers that the per-frame update refills on the main
// thread, in pieces small enough never to stall a frame.
class OpenAlDevice final : public AudioDevice {
public:
    // The default output device. A machine without one (a server, a CI run)
    // gets the null output instead: OpenAL's loopback device, mixed by update()
    // as time passes and thrown away, so sounds play, end and loop silently.
    // Null only when OpenAL itself cannot start.
    static std::unique_ptr<OpenAlDevice> open();
    // A loopback device that mixes only when render() asks: float stereo at
    // the given rate, no HRTF. Null without the ALC_SOFT_loopback extension.
    static std::unique_ptr<OpenAlDevice> openLoopback(int rate);

    ~OpenAlDevice() override;
    OpenAlDevice(const OpenAlDevice&) = delete;
    OpenAlDevice& operator=(const OpenAlDevice&) = delete;

    // Mixes frames of interleaved stereo into out (2 * frames floats); only for
    // openLoopback's device.
    void render(float* out, int frames);

    const char* outputName() const override { return m_outputName.c_str(); }
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
    void set3DConeOrientation(Channel channel, const Vec3& direction) override;
    void set3DConeSettings(Channel channel, float insideAngle, float outsideAngle, float outsideVolume) override;
    void set3DDopplerLevel(Channel channel, float level) override;
    void setMasterVolume(float volume) override;
    float masterVolume() const override { return m_masterVolume; }
    void setListener(const Vec3& position, const Vec3& forward, const Vec3& up) override;
    void update() override;

private:
    enum class Output { Device, NullOutput, Loopback };
    static constexpr int kStreamBuffers = 6;
    static constexpr int kStreamFrames = 4096;  // about 0.1 s per buffer at 44.1 kHz

    struct Voice {
        unsigned source = 0;
        std::uint32_t generation = 1;
        bool active = false;
        bool started = false;  // alSourcePlay has run since the channel began
        bool paused = true;
        bool loop = false;
        bool positioned = false;
        SampleId sample = 0;
        StreamId stream = 0;
        int rate = 0;
        float volume = 1.0f;
        Vec3 position, velocity;
        float minDistance = 1.0f, maxDistance = 10000.0f, doppler = 1.0f;
    };
    struct Sample {
        unsigned buffer = 0;
        int rate = 0;
    };
    struct Stream {
        std::unique_ptr<PcmDecoder> decoder;
        std::array<unsigned, kStreamBuffers> buffers{};
        std::vector<unsigned> idle;          // buffers not queued
        std::vector<std::size_t> queuedStart;  // the file frame each queued buffer starts at, oldest first
        std::size_t nextFrame = 0;           // the file frame the decoder reads next
        int format = 0;
        int voice = -1;                      // the slot that plays it
        bool loop = false;
        bool ended = false;                  // the decoder gave its last frame
        std::vector<std::int16_t> scratch;
    };

    OpenAlDevice(Output output, void* device, void* context, std::string name);
    bool createSources();
    Voice* voiceOf(Channel channel);
    const Voice* voiceOf(Channel channel) const;
    int allocateVoice();
    void freeVoice(int slot);
    void resetSource(Voice& voice);
    bool finished(const Voice& voice) const;
    float audibility(const Voice& voice) const;
    void apply3D(const Voice& voice);
    void startStream(Stream& stream, Voice& voice, int prefill);
    void serviceStream(Stream& stream, Voice& voice);
    bool fillStreamBuffer(Stream& stream, unsigned buffer);
    void renderNullOutput();

    Output m_output;
    void* m_device;   // ALCdevice
    void* m_context;  // ALCcontext
    std::string m_outputName;
    void (*m_renderSamples)(void*, void*, int) = nullptr;
    bool m_spatializeControl = false;
    std::array<Voice, kChannels> m_voices{};
    std::unordered_map<SampleId, Sample> m_samples;
    std::unordered_map<StreamId, std::unique_ptr<Stream>> m_streams;
    std::uint32_t m_nextId = 1;
    float m_masterVolume = 1.0f;
    Vec3 m_listener;
    float m_lastRender = 0.0f;  // program clock of the last null mix
    std::vector<float> m_nullMix;
};
