#include "sound/OpenAlDevice.h"

#include "platform/Clock.h"
#include "platform/Log.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/efx.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr float kMaxGain = 16.0f;  // channel volumes above 1 are used (2.0, 2.5)

ALCdevice* alDevice(void* device) { return static_cast<ALCdevice*>(device); }

// The sources the device mixes for, and no effect sends (the game has no
// effects): each send adds its filter state to every voice the library sets
// aside. Only the streams (music) may be stereo; every loaded sound is mono.
constexpr ALCint kStereoSources = 4;
constexpr ALCint kMonoSources = AudioDevice::kChannels - kStereoSources;

// OpenAL positions only mono buffers, and every loaded sound may be played in
// 3-D, so stereo files are mixed down when they load.
std::vector<std::int16_t> monoSamples(const PcmBuffer& pcm)
{
    if (pcm.channels == 1)
        return pcm.samples;
    std::vector<std::int16_t> mono(pcm.frames());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = static_cast<std::int16_t>((pcm.samples[2 * i] + pcm.samples[2 * i + 1]) / 2);
    return mono;
}
}  // namespace

OpenAlDevice::OpenAlDevice(Output output, void* device, void* context, std::string name)
    : m_output(output), m_device(device), m_context(context), m_outputName(std::move(name)),
      m_lastRender(Clock::now())
{
}

std::unique_ptr<OpenAlDevice> OpenAlDevice::open()
{
    if (ALCdevice* device = alcOpenDevice(nullptr)) {
        const ALCint attributes[] = {ALC_MONO_SOURCES, kMonoSources, ALC_STEREO_SOURCES, kStereoSources,
                                     ALC_MAX_AUXILIARY_SENDS, 0, 0};
        ALCcontext* context = alcCreateContext(device, attributes);
        if (context && alcMakeContextCurrent(context)) {
            const ALCchar* name = alcGetString(device, ALC_DEVICE_SPECIFIER);
            std::unique_ptr<OpenAlDevice> result(
                new OpenAlDevice(Output::Device, device, context, name ? name : "default output"));
            if (result->createSources())
                return result;
            return nullptr;
        }
        if (context)
            alcDestroyContext(context);
        alcCloseDevice(device);
    }
    std::unique_ptr<OpenAlDevice> null = openLoopback(44100);
    if (!null)
        return nullptr;
    null->m_output = Output::NullOutput;
    null->m_outputName = "null output";
    null->m_nullMix.resize(2 * 44100 / 4);
    return null;
}

std::unique_ptr<OpenAlDevice> OpenAlDevice::openLoopback(int rate)
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
        return nullptr;
    auto openLoopbackDevice = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!openLoopbackDevice || !renderSamples)
        return nullptr;
    ALCdevice* device = openLoopbackDevice(nullptr);
    if (!device)
        return nullptr;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY, rate, ALC_HRTF_SOFT, ALC_FALSE, ALC_MONO_SOURCES, kMonoSources,
                                 ALC_STEREO_SOURCES, kStereoSources, ALC_MAX_AUXILIARY_SENDS, 0, 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context)
            alcDestroyContext(context);
        alcCloseDevice(device);
        return nullptr;
    }
    std::unique_ptr<OpenAlDevice> result(new OpenAlDevice(Output::Loopback, device, context, "loopback"));
    result->m_renderSamples = reinterpret_cast<void (*)(void*, void*, int)>(renderSamples);
    if (!result->createSources())
        return nullptr;
    return result;
}

bool OpenAlDevice::createSources()
{
    alGetError();
    m_spatializeControl = alIsExtensionPresent("AL_SOFT_source_spatialize");
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alDopplerFactor(1.0f);
    for (Voice& voice : m_voices) {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) {
            logWarning("sound", "OpenAL gave fewer than %d sources", kChannels);
            return false;
        }
        voice.source = source;
        resetSource(voice);
    }
    setMasterVolume(1.0f);
    return true;
}

OpenAlDevice::~OpenAlDevice()
{
    for (Voice& voice : m_voices) {
        if (voice.source) {
            alSourceStop(voice.source);
            alSourcei(voice.source, AL_BUFFER, 0);
            alDeleteSources(1, &voice.source);
        }
    }
    for (auto& [id, stream] : m_streams)
        alDeleteBuffers(kStreamBuffers, stream->buffers.data());
    for (auto& [id, sample] : m_samples)
        alDeleteBuffers(1, &sample.buffer);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(m_context));
    alcCloseDevice(alDevice(m_device));
}

void OpenAlDevice::render(float* out, int frames)
{
    if (m_renderSamples && frames > 0)
        m_renderSamples(m_device, out, frames);
}

SampleId OpenAlDevice::createSample(const PcmBuffer& pcm)
{
    if (pcm.rate <= 0 || (pcm.channels != 1 && pcm.channels != 2) || pcm.frames() == 0)
        return 0;
    const std::vector<std::int16_t> mono = monoSamples(pcm);
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, mono.data(), static_cast<ALsizei>(mono.size() * 2), pcm.rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    const SampleId id = m_nextId++;
    m_samples[id] = Sample{buffer, pcm.rate};
    return id;
}

void OpenAlDevice::releaseSample(SampleId sample)
{
    auto found = m_samples.find(sample);
    if (found == m_samples.end())
        return;
    for (int slot = 0; slot < kChannels; ++slot)
        if (m_voices[slot].active && m_voices[slot].sample == sample)
            freeVoice(slot);
    alDeleteBuffers(1, &found->second.buffer);
    m_samples.erase(found);
}

StreamId OpenAlDevice::createStream(std::unique_ptr<PcmDecoder> decoder)
{
    if (!decoder || decoder->rate() <= 0 || (decoder->channels() != 1 && decoder->channels() != 2))
        return 0;
    auto stream = std::make_unique<Stream>();
    alGetError();
    alGenBuffers(kStreamBuffers, stream->buffers.data());
    if (alGetError() != AL_NO_ERROR)
        return 0;
    stream->format = decoder->channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    stream->scratch.resize(static_cast<std::size_t>(kStreamFrames) * decoder->channels());
    stream->decoder = std::move(decoder);
    const StreamId id = m_nextId++;
    m_streams[id] = std::move(stream);
    return id;
}

void OpenAlDevice::releaseStream(StreamId id)
{
    auto found = m_streams.find(id);
    if (found == m_streams.end())
        return;
    if (found->second->voice >= 0)
        freeVoice(found->second->voice);
    alDeleteBuffers(kStreamBuffers, found->second->buffers.data());
    m_streams.erase(found);
}

OpenAlDevice::Voice* OpenAlDevice::voiceOf(Channel channel)
{
    if (!channel || channel.slot >= static_cast<std::uint32_t>(kChannels))
        return nullptr;
    Voice& voice = m_voices[channel.slot];
    return voice.active && voice.generation == channel.generation ? &voice : nullptr;
}

const OpenAlDevice::Voice* OpenAlDevice::voiceOf(Channel channel) const
{
    return const_cast<OpenAlDevice*>(this)->voiceOf(channel);
}

void OpenAlDevice::resetSource(Voice& voice)
{
    const ALuint source = voice.source;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alSourcei(source, AL_LOOPING, AL_FALSE);
    alSourcef(source, AL_GAIN, 1.0f);
    alSourcef(source, AL_MAX_GAIN, kMaxGain);
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_CONE_INNER_ANGLE, 360.0f);
    alSourcef(source, AL_CONE_OUTER_ANGLE, 360.0f);
    alSource3f(source, AL_DIRECTION, 0.0f, 0.0f, 0.0f);
    voice.positioned = true;  // forces set3D below to write the flat state
    voice.position = voice.velocity = Vec3{};
    voice.minDistance = 1.0f;
    voice.maxDistance = 10000.0f;
    voice.doppler = 1.0f;
    voice.volume = 1.0f;
    voice.loop = false;
    voice.paused = true;
    voice.started = false;
    voice.sample = voice.stream = 0;
    alSourcef(source, AL_REFERENCE_DISTANCE, voice.minDistance);
    alSourcef(source, AL_MAX_DISTANCE, voice.maxDistance);
    // 2-D: at the listener, no roll-off, not spatialised.
    voice.positioned = false;
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    if (m_spatializeControl)
        alSourcei(source, AL_SOURCE_SPATIALIZE_SOFT, AL_FALSE);
}

float OpenAlDevice::audibility(const Voice& voice) const
{
    float gain = voice.volume;
    if (voice.positioned) {
        const float dx = voice.position.x - m_listener.x, dy = voice.position.y - m_listener.y,
                    dz = voice.position.z - m_listener.z;
        const float distance = std::clamp(std::sqrt(dx * dx + dy * dy + dz * dz), voice.minDistance,
                                          std::max(voice.minDistance, voice.maxDistance));
        gain *= voice.minDistance / std::max(distance, 1e-6f);
    }
    return gain;
}

int OpenAlDevice::allocateVoice()
{
    int quietest = 0;
    for (int slot = 0; slot < kChannels; ++slot) {
        if (!m_voices[slot].active)
            return slot;
        if (audibility(m_voices[slot]) < audibility(m_voices[quietest]))
            quietest = slot;
    }
    freeVoice(quietest);
    return quietest;
}

void OpenAlDevice::freeVoice(int slot)
{
    Voice& voice = m_voices[slot];
    if (voice.stream) {
        auto found = m_streams.find(voice.stream);
        if (found != m_streams.end())
            found->second->voice = -1;
    }
    resetSource(voice);
    voice.active = false;
    if (++voice.generation == 0)
        voice.generation = 1;
}

Channel OpenAlDevice::playSample(SampleId id)
{
    auto found = m_samples.find(id);
    if (found == m_samples.end())
        return {};
    const int slot = allocateVoice();
    Voice& voice = m_voices[slot];
    voice.active = true;
    voice.sample = id;
    voice.rate = found->second.rate;
    alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(found->second.buffer));
    return {static_cast<std::uint32_t>(slot), voice.generation};
}

Channel OpenAlDevice::playStream(StreamId id)
{
    auto found = m_streams.find(id);
    if (found == m_streams.end())
        return {};
    Stream& stream = *found->second;
    if (stream.voice >= 0)
        freeVoice(stream.voice);
    const int slot = allocateVoice();
    Voice& voice = m_voices[slot];
    voice.active = true;
    voice.stream = id;
    voice.rate = stream.decoder->rate();
    stream.voice = slot;
    // Two pieces now so that the first frame has sound; update queues the rest.
    startStream(stream, voice, 2);
    return {static_cast<std::uint32_t>(slot), voice.generation};
}

void OpenAlDevice::startStream(Stream& stream, Voice& voice, int prefill)
{
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, 0);
    stream.idle.assign(stream.buffers.begin(), stream.buffers.end());
    stream.queuedStart.clear();
    stream.ended = !stream.decoder->rewind();
    stream.nextFrame = 0;
    for (int i = 0; i < prefill && !stream.ended && !stream.idle.empty(); ++i) {
        const unsigned buffer = stream.idle.back();
        if (!fillStreamBuffer(stream, buffer))
            break;
        stream.idle.pop_back();
    }
}

bool OpenAlDevice::fillStreamBuffer(Stream& stream, unsigned buffer)
{
    const int channels = stream.decoder->channels();
    std::size_t filled = 0;
    const std::size_t start = stream.nextFrame;
    bool rewound = false;  // a file that gives nothing right after a rewind is empty
    while (filled < static_cast<std::size_t>(kStreamFrames) && !stream.ended) {
        const std::size_t got =
            stream.decoder->read(stream.scratch.data() + filled * channels, kStreamFrames - filled);
        filled += got;
        stream.nextFrame += got;
        if (got > 0) {
            rewound = false;
            continue;
        }
        // A looping stream goes on from its first frame inside the same
        // buffer, so the seam is as smooth as the file's own loop.
        if (!stream.loop || rewound || !stream.decoder->rewind()) {
            stream.ended = true;
        } else {
            rewound = true;
            stream.nextFrame = 0;
        }
    }
    if (filled == 0)
        return false;
    alBufferData(buffer, stream.format, stream.scratch.data(), static_cast<ALsizei>(filled * channels * 2),
                 stream.decoder->rate());
    ALuint name = buffer;
    alSourceQueueBuffers(m_voices[stream.voice].source, 1, &name);
    stream.queuedStart.push_back(start);
    return true;
}

void OpenAlDevice::serviceStream(Stream& stream, Voice& voice)
{
    ALint processed = 0;
    alGetSourcei(voice.source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(voice.source, 1, &buffer);
        stream.idle.push_back(buffer);
        if (!stream.queuedStart.empty())
            stream.queuedStart.erase(stream.queuedStart.begin());
    }
    while (!stream.ended && !stream.idle.empty()) {
        if (!fillStreamBuffer(stream, stream.idle.back()))
            break;
        stream.idle.pop_back();
    }
    // A frame longer than the queued sound drains the source: start it again.
    ALint state = 0;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    if (voice.started && !voice.paused && state != AL_PLAYING && !stream.queuedStart.empty())
        alSourcePlay(voice.source);
}

bool OpenAlDevice::finished(const Voice& voice) const
{
    if (!voice.started || voice.paused)
        return false;
    ALint state = 0;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    if (state != AL_STOPPED)
        return false;
    if (voice.stream) {
        auto found = m_streams.find(voice.stream);
        if (found == m_streams.end())
            return true;
        // A starved stream stops too; it is over only once the file is.
        ALint queued = 0, processed = 0;
        alGetSourcei(voice.source, AL_BUFFERS_QUEUED, &queued);
        alGetSourcei(voice.source, AL_BUFFERS_PROCESSED, &processed);
        return found->second->ended && queued == processed;
    }
    return true;
}

bool OpenAlDevice::isPlaying(Channel channel) const
{
    const Voice* voice = voiceOf(channel);
    return voice && !finished(*voice);
}

bool OpenAlDevice::isPaused(Channel channel) const
{
    const Voice* voice = voiceOf(channel);
    return voice && voice->paused;
}

void OpenAlDevice::setPaused(Channel channel, bool paused)
{
    Voice* voice = voiceOf(channel);
    if (!voice || voice->paused == paused || finished(*voice))
        return;
    voice->paused = paused;
    if (paused) {
        if (voice->started)
            alSourcePause(voice->source);
        return;
    }
    voice->started = true;
    alSourcePlay(voice->source);
}

void OpenAlDevice::stop(Channel channel)
{
    if (voiceOf(channel))
        freeVoice(static_cast<int>(channel.slot));
}

void OpenAlDevice::setVolume(Channel channel, float volume)
{
    if (Voice* voice = voiceOf(channel)) {
        voice->volume = volume;
        alSourcef(voice->source, AL_GAIN, std::clamp(volume, 0.0f, kMaxGain));
    }
}

void OpenAlDevice::setFrequency(Channel channel, float hertz)
{
    Voice* voice = voiceOf(channel);
    if (voice && voice->rate > 0)
        alSourcef(voice->source, AL_PITCH, std::clamp(hertz / static_cast<float>(voice->rate), 0.001f, 64.0f));
}

void OpenAlDevice::setLoop(Channel channel, bool loop)
{
    Voice* voice = voiceOf(channel);
    if (!voice)
        return;
    voice->loop = loop;
    if (voice->stream) {
        auto found = m_streams.find(voice->stream);
        if (found != m_streams.end()) {
            found->second->loop = loop;
            // Queued to its end before the loop was asked for: go on from the start.
            if (loop)
                found->second->ended = false;
        }
        return;
    }
    alSourcei(voice->source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

void OpenAlDevice::setPositionMs(Channel channel, std::uint32_t ms)
{
    Voice* voice = voiceOf(channel);
    if (!voice)
        return;
    if (voice->stream) {
        auto found = m_streams.find(voice->stream);
        if (found == m_streams.end())
            return;
        startStream(*found->second, *voice, kStreamBuffers);
        if (voice->started && !voice->paused)
            alSourcePlay(voice->source);
        else
            voice->started = false;
        return;
    }
    const double frame = static_cast<double>(ms) * voice->rate / 1000.0;
    alSourcei(voice->source, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
}

std::uint32_t OpenAlDevice::positionMs(Channel channel) const
{
    const Voice* voice = voiceOf(channel);
    if (!voice || voice->rate <= 0)
        return 0;
    ALint offset = 0;
    alGetSourcei(voice->source, AL_SAMPLE_OFFSET, &offset);
    std::size_t frame = static_cast<std::size_t>(std::max(offset, 0));
    if (voice->stream) {
        auto found = m_streams.find(voice->stream);
        if (found != m_streams.end() && !found->second->queuedStart.empty()) {
            // The offset counts from the oldest buffer still queued.
            frame += found->second->queuedStart.front();
        }
    }
    return static_cast<std::uint32_t>(static_cast<double>(frame) * 1000.0 / voice->rate);
}

void OpenAlDevice::apply3D(const Voice& voice)
{
    const ALuint source = voice.source;
    alSource3f(source, AL_POSITION, voice.position.x, voice.position.y, voice.position.z);
    // OpenAL has one doppler factor for all; a channel's level scales its velocity.
    alSource3f(source, AL_VELOCITY, voice.velocity.x * voice.doppler, voice.velocity.y * voice.doppler,
               voice.velocity.z * voice.doppler);
}

void OpenAlDevice::set3D(Channel channel, bool positioned)
{
    Voice* voice = voiceOf(channel);
    if (!voice || voice->positioned == positioned)
        return;
    voice->positioned = positioned;
    const ALuint source = voice->source;
    if (m_spatializeControl)
        alSourcei(source, AL_SOURCE_SPATIALIZE_SOFT, positioned ? AL_TRUE : AL_FALSE);
    alSourcei(source, AL_SOURCE_RELATIVE, positioned ? AL_FALSE : AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, positioned ? 1.0f : 0.0f);
    if (positioned) {
        apply3D(*voice);
    } else {
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    }
}

void OpenAlDevice::set3DAttributes(Channel channel, const Vec3& position, const Vec3& velocity)
{
    Voice* voice = voiceOf(channel);
    if (!voice)
        return;
    voice->position = position;
    voice->velocity = velocity;
    if (voice->positioned)
        apply3D(*voice);
}

void OpenAlDevice::set3DMinMaxDistance(Channel channel, float minDistance, float maxDistance)
{
    Voice* voice = voiceOf(channel);
    if (!voice)
        return;
    // OpenAL refuses a reference distance of 0 or below and a maximum below it.
    voice->minDistance = std::max(minDistance, 1e-3f);
    voice->maxDistance = std::max(maxDistance, voice->minDistance);
    alSourcef(voice->source, AL_REFERENCE_DISTANCE, voice->minDistance);
    alSourcef(voice->source, AL_MAX_DISTANCE, voice->maxDistance);
}

void OpenAlDevice::set3DConeOrientation(Channel channel, const Vec3& direction)
{
    if (Voice* voice = voiceOf(channel))
        alSource3f(voice->source, AL_DIRECTION, direction.x, direction.y, direction.z);
}

void OpenAlDevice::set3DConeSettings(Channel channel, float insideAngle, float outsideAngle, float outsideVolume)
{
    if (Voice* voice = voiceOf(channel)) {
        alSourcef(voice->source, AL_CONE_INNER_ANGLE, std::clamp(insideAngle, 0.0f, 360.0f));
        alSourcef(voice->source, AL_CONE_OUTER_ANGLE, std::clamp(outsideAngle, 0.0f, 360.0f));
        alSourcef(voice->source, AL_CONE_OUTER_GAIN, std::clamp(outsideVolume, 0.0f, 1.0f));
    }
}

void OpenAlDevice::set3DDopplerLevel(Channel channel, float level)
{
    Voice* voice = voiceOf(channel);
    if (!voice)
        return;
    voice->doppler = std::max(level, 0.0f);
    if (voice->positioned)
        apply3D(*voice);
}

void OpenAlDevice::setMasterVolume(float volume)
{
    m_masterVolume = volume;
    alListenerf(AL_GAIN, std::clamp(volume, 0.0f, kMaxGain));
}

void OpenAlDevice::setListener(const Vec3& position, const Vec3& forward, const Vec3& up)
{
    m_listener = position;
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    const ALfloat orientation[6] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
    alListenerfv(AL_ORIENTATION, orientation);
}

void OpenAlDevice::renderNullOutput()
{
    // The program clock, so that a run on a fixed frame step mixes the same
    // samples however long its frames take on the machine.
    const float now = Clock::now();
    // The clock went back when a fixed step took over after the device opened.
    if (now < m_lastRender)
        m_lastRender = now;
    const double seconds = static_cast<double>(now - m_lastRender);
    // After a long stall only a quarter second is mixed: the sounds lose that
    // time instead of the frame paying for it.
    const std::size_t frames =
        std::min(static_cast<std::size_t>(seconds * 44100.0), m_nullMix.size() / 2);
    if (frames == 0)
        return;
    m_lastRender = now;
    render(m_nullMix.data(), static_cast<int>(frames));
}

void OpenAlDevice::update()
{
    if (m_output == Output::NullOutput)
        renderNullOutput();
    for (int slot = 0; slot < kChannels; ++slot) {
        Voice& voice = m_voices[slot];
        if (!voice.active)
            continue;
        if (voice.stream) {
            auto found = m_streams.find(voice.stream);
            if (found != m_streams.end() && !voice.paused)
                serviceStream(*found->second, voice);
        }
        if (finished(voice))
            freeVoice(slot);
    }
}
