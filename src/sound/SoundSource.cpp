#include "sound/SoundSource.h"

#include "platform/File.h"
#include "platform/Log.h"
#include "sound/Sound.h"
#include "sound/SoundData.h"

SoundSource::~SoundSource()
{
    if (Sound::solo() == this)
        Sound::setSolo(nullptr, 1.0f);
    if (AudioDevice* device = Sound::device())
        device->stop(m_channel);
}

void SoundSource::applyDuck(float factor)
{
    if (m_channel)
        Sound::device()->setVolume(m_channel, m_volume * factor);
}

void SoundSource::stop()
{
    if (!m_channel)
        return;
    if (AudioDevice* device = Sound::device())
        device->stop(m_channel);
    m_channel = {};
    m_playing = false;
}

void SoundSource::pause()
{
    if (m_channel)
        Sound::device()->setPaused(m_channel, true);
}

void SoundSource::setVolume(float volume)
{
    m_volume = volume;
    if (m_channel)
        Sound::device()->setVolume(m_channel, volume);
}

void SoundSource::setLoop(bool loop)
{
    m_loop = loop;
    if (m_channel)
        Sound::device()->setLoop(m_channel, loop);
}

bool SoundSource::isPlaying() const
{
    if (!m_channel)
        return false;
    if (m_loop)
        return m_playing;
    AudioDevice* device = Sound::device();
    return device && device->isPlaying(m_channel);
}

void SoundSource::resumeOrRestart()
{
    AudioDevice& device = *Sound::device();
    if (device.isPaused(m_channel))
        device.setPaused(m_channel, false);
    else
        device.setPositionMs(m_channel, 0);
}

SoundSourceBuffered::SoundSourceBuffered(bool autoDelete, bool positioned)
    : SoundSource(autoDelete), m_positioned(positioned)
{
}

void SoundSourceBuffered::play()
{
    AudioDevice* device = Sound::device();
    if (!device || !isRegistered())
        return;
    if (!m_channel && m_sound) {
        m_channel = device->playSample(m_sound->sample());
        if (m_channel) {
            device->setVolume(m_channel, m_volume);
            device->setFrequency(m_channel, m_sound->defaultFrequency() * m_pitch);
            device->setLoop(m_channel, m_loop);
            if (m_positioned) {
                device->set3D(m_channel, true);
                device->set3DAttributes(m_channel, m_position, m_velocity);
                device->set3DConeOrientation(m_channel, m_coneOrientation);
                device->set3DMinMaxDistance(m_channel, m_minDistance, m_maxDistance);
                device->set3DDopplerLevel(m_channel, m_dopplerLevel);
                device->set3DConeSettings(m_channel, m_coneInsideAngle, m_coneOutsideAngle, m_coneOutsideVolume);
            }
        }
    }
    m_playing = true;
    if (m_channel)
        resumeOrRestart();
}

void SoundSourceBuffered::setSound(SoundData* sound)
{
    if (sound == m_sound)
        return;
    const bool wasPlaying = isPlaying();
    m_sound = sound;
    stop();
    if (wasPlaying)
        play();
}

void SoundSourceBuffered::applyPitch()
{
    if (m_channel && m_sound)
        Sound::device()->setFrequency(m_channel, m_sound->defaultFrequency() * m_pitch);
}

void SoundSourceBuffered::set3DAttributes(const Vec3& position, const Vec3& velocity)
{
    m_position = position;
    m_velocity = velocity;
    if (m_channel && m_positioned)
        Sound::device()->set3DAttributes(m_channel, position, velocity);
}

void SoundSourceBuffered::setMinMaxDistance(float minDistance, float maxDistance)
{
    m_minDistance = minDistance;
    m_maxDistance = maxDistance;
    if (m_channel && m_positioned)
        Sound::device()->set3DMinMaxDistance(m_channel, minDistance, maxDistance);
}

void SoundSourceBuffered::setConeOrientation(const Vec3& direction)
{
    m_coneOrientation = direction;
    if (m_channel && m_positioned)
        Sound::device()->set3DConeOrientation(m_channel, direction);
}

SoundSourceStreamed::~SoundSourceStreamed()
{
    // The channel goes before the stream it reads from.
    stop();
    releaseStream();
}

const std::string& SoundSourceStreamed::fileName() const
{
    static const std::string none;
    return m_stream ? m_stream->name : none;
}

void SoundSourceStreamed::releaseStream()
{
    if (!m_stream)
        return;
    if (AudioDevice* device = Sound::device())
        device->releaseStream(m_stream->stream);
    m_stream.reset();
}

void SoundSourceStreamed::play()
{
    AudioDevice* device = Sound::device();
    if (!device || !isRegistered())
        return;
    if (!m_channel && m_stream) {
        m_channel = device->playStream(m_stream->stream);
        if (m_channel) {
            device->setLoop(m_channel, m_loop);
            device->setVolume(m_channel, m_volume);
        }
    }
    m_playing = true;
    if (m_channel)
        resumeOrRestart();
}

void SoundSourceStreamed::open(const char* name)
{
    const bool sameFile = name && m_stream && m_stream->name == name;
    if (!sameFile) {
        stop();
        releaseStream();
    }
    if (!name)
        return;
    if (sameFile) {
        play();
        return;
    }
    AudioDevice* device = Sound::device();
    if (!device)
        return;
    std::unique_ptr<File> file = openFile(name);
    std::unique_ptr<PcmDecoder> decoder = file ? openDecoder(std::move(file)) : nullptr;
    const StreamId stream = decoder ? device->createStream(std::move(decoder)) : 0;
    if (stream)
        m_stream = std::make_unique<StreamRecord>(StreamRecord{stream, name});
    else
        logWarning("sound", "%s cannot be streamed", name);
    play();
}
