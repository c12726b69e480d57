#include "support/sound/FakeAudioDevice.h"

#include <cmath>

SampleId FakeAudioDevice::createSample(const PcmBuffer& pcm)
{
    if (pcm.frames() == 0)
        return 0;
    const SampleId id = m_nextId++;
    m_samples[id] = Sample{pcm.rate, pcm.frames()};
    return id;
}

void FakeAudioDevice::releaseSample(SampleId sample)
{
    for (std::size_t slot = 0; slot < m_channels.size(); ++slot)
        if (m_channels[slot].active && m_channels[slot].sample == sample)
            freeSlot(slot);
    m_samples.erase(sample);
}

StreamId FakeAudioDevice::createStream(std::unique_ptr<PcmDecoder> decoder)
{
    if (!decoder)
        return 0;
    const StreamId id = m_nextId++;
    m_streams[id] = std::move(decoder);
    m_log.push_back("createStream " + std::to_string(id));
    return id;
}

void FakeAudioDevice::releaseStream(StreamId stream)
{
    for (std::size_t slot = 0; slot < m_channels.size(); ++slot)
        if (m_channels[slot].active && m_channels[slot].stream == stream) {
            // A device must never free a stream under a channel that plays it.
            m_log.push_back("releaseStream while playing " + std::to_string(stream));
            freeSlot(slot);
        }
    m_streams.erase(stream);
    m_log.push_back("releaseStream " + std::to_string(stream));
}

Channel FakeAudioDevice::playSample(SampleId sample)
{
    auto found = m_samples.find(sample);
    if (found == m_samples.end())
        return {};
    std::size_t slot = 0;
    while (slot < m_channels.size() && m_channels[slot].active)
        ++slot;
    if (slot == m_channels.size())
        return {};
    ChannelState& s = m_channels[slot];
    const std::uint32_t generation = s.generation;
    s = ChannelState{};
    s.generation = generation;
    s.active = true;
    s.sample = sample;
    s.rate = found->second.rate;
    s.frequency = static_cast<float>(s.rate);
    m_log.push_back("playSample " + std::to_string(slot));
    m_played.push_back(sample);
    return {static_cast<std::uint32_t>(slot), generation};
}

Channel FakeAudioDevice::playStream(StreamId stream)
{
    auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return {};
    for (std::size_t slot = 0; slot < m_channels.size(); ++slot)
        if (m_channels[slot].active && m_channels[slot].stream == stream)
            freeSlot(slot);
    std::size_t slot = 0;
    while (slot < m_channels.size() && m_channels[slot].active)
        ++slot;
    if (slot == m_channels.size())
        return {};
    ChannelState& s = m_channels[slot];
    const std::uint32_t generation = s.generation;
    s = ChannelState{};
    s.generation = generation;
    s.active = true;
    s.stream = stream;
    s.rate = found->second->rate();
    s.frequency = static_cast<float>(s.rate);
    (void)found->second->rewind();
    m_log.push_back("playStream " + std::to_string(stream));
    return {static_cast<std::uint32_t>(slot), generation};
}

FakeAudioDevice::ChannelState* FakeAudioDevice::live(Channel channel)
{
    if (!channel || channel.slot >= m_channels.size())
        return nullptr;
    ChannelState& s = m_channels[channel.slot];
    return s.active && s.generation == channel.generation ? &s : nullptr;
}

const FakeAudioDevice::ChannelState* FakeAudioDevice::state(Channel channel) const
{
    return const_cast<FakeAudioDevice*>(this)->live(channel);
}

bool FakeAudioDevice::isPlaying(Channel channel) const
{
    const ChannelState* s = state(channel);
    return s && !s->finished;
}

bool FakeAudioDevice::isPaused(Channel channel) const
{
    const ChannelState* s = state(channel);
    return s && s->paused;
}

void FakeAudioDevice::setPaused(Channel channel, bool paused)
{
    if (ChannelState* s = live(channel); s && !s->finished)
        s->paused = paused;
}

void FakeAudioDevice::stop(Channel channel)
{
    if (live(channel)) {
        m_log.push_back("stop " + std::to_string(channel.slot));
        freeSlot(channel.slot);
    }
}

void FakeAudioDevice::freeSlot(std::size_t slot)
{
    ChannelState& s = m_channels[slot];
    s.active = false;
    s.finished = false;
    if (++s.generation == 0)
        s.generation = 1;
}

void FakeAudioDevice::setVolume(Channel channel, float volume)
{
    if (ChannelState* s = live(channel))
        s->volume = volume;
}

void FakeAudioDevice::setFrequency(Channel channel, float hertz)
{
    if (ChannelState* s = live(channel))
        s->frequency = hertz;
}

void FakeAudioDevice::setLoop(Channel channel, bool loop)
{
    if (ChannelState* s = live(channel))
        s->loop = loop;
}

void FakeAudioDevice::setPositionMs(Channel channel, std::uint32_t ms)
{
    ChannelState* s = live(channel);
    if (!s)
        return;
    s->frame = ms * static_cast<double>(s->rate) / 1000.0;
    if (ms == 0 && s->sample)
        m_played.push_back(s->sample);  // a playing sound started again
    if (s->stream)
        (void)m_streams[s->stream]->rewind();
}

std::uint32_t FakeAudioDevice::positionMs(Channel channel) const
{
    const ChannelState* s = state(channel);
    return s && s->rate > 0 ? static_cast<std::uint32_t>(s->frame * 1000.0 / s->rate) : 0;
}

void FakeAudioDevice::set3D(Channel channel, bool positioned)
{
    if (ChannelState* s = live(channel))
        s->positioned = positioned;
}

void FakeAudioDevice::set3DAttributes(Channel channel, const Vec3& position, const Vec3& velocity)
{
    if (ChannelState* s = live(channel)) {
        s->position = position;
        s->velocity = velocity;
    }
}

void FakeAudioDevice::set3DMinMaxDistance(Channel channel, float minDistance, float maxDistance)
{
    if (ChannelState* s = live(channel)) {
        s->minDistance = minDistance;
        s->maxDistance = maxDistance;
    }
}

void FakeAudioDevice::advance(double seconds)
{
    for (ChannelState& s : m_channels) {
        if (!s.active || s.paused || s.finished)
            continue;
        const double frames = seconds * s.frequency;
        if (s.sample) {
            const double length = static_cast<double>(m_samples[s.sample].frames);
            s.frame += frames;
            if (s.frame >= length) {
                if (s.loop)
                    s.frame = std::fmod(s.frame, length);
                else
                    s.finished = true;
            }
        } else if (s.stream) {
            PcmDecoder& decoder = *m_streams[s.stream];
            std::vector<std::int16_t> scratch(4096 * static_cast<std::size_t>(decoder.channels()));
            for (auto left = static_cast<std::size_t>(frames); left > 0;) {
                const std::size_t got = decoder.read(scratch.data(), std::min<std::size_t>(left, 4096));
                left -= got;
                s.frame += static_cast<double>(got);
                if (got == 0) {
                    if (!s.loop || !decoder.rewind()) {
                        s.finished = true;
                        break;
                    }
                    s.frame = 0.0;
                }
            }
        }
    }
}

void FakeAudioDevice::update()
{
    for (std::size_t slot = 0; slot < m_channels.size(); ++slot)
        if (m_channels[slot].active && m_channels[slot].finished)
            freeSlot(slot);
}

int FakeAudioDevice::activeChannels() const
{
    int n = 0;
    for (const ChannelState& s : m_channels)
        n += s.active ? 1 : 0;
    return n;
}
