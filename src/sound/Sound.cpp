#include "sound/Sound.h"

#include "platform/Log.h"
#include "sound/OpenAlDevice.h"

namespace {
struct SoundState {
    std::unique_ptr<AudioDevice> device;
    SoundSource* solo = nullptr;
    float duckFactor = 1.0f;
    bool paused = false;
};

SoundState& state()
{
    static SoundState object;
    return object;
}

void applyDuckToAll(float factor, const SoundSource* except)
{
    for (std::size_t i = 0; i < SoundSource::count(); ++i) {
        SoundSource* source = SoundSource::at(i);
        if (source != except)
            source->applyDuck(factor);
    }
}

void dropSolo()
{
    SoundState& s = state();
    if (s.solo)
        applyDuckToAll(1.0f, nullptr);
    s.duckFactor = 1.0f;
    s.solo = nullptr;
}

// A source the registry could not take is refused: nothing would ever
// update, pause or delete it.
template <typename T>
T* registeredOrNull(T* source)
{
    if (source->isRegistered())
        return source;
    logWarning("sound", "no source made: %zu sources exist already", SoundSource::kCapacity);
    delete source;
    return nullptr;
}
}  // namespace

bool Sound::init()
{
    close();
    std::unique_ptr<OpenAlDevice> device = OpenAlDevice::open();
    if (!device) {
        logWarning("sound", "OpenAL cannot start");
        return false;
    }
    return init(std::move(device));
}

bool Sound::init(std::unique_ptr<AudioDevice> device)
{
    close();
    if (!device)
        return false;
    logInfo("sound", "output: %s", device->outputName());
    state().device = std::move(device);
    loadSoundTable();
    createGlobalSources();
    state().device->setMasterVolume(0.0f);
    return true;
}

void Sound::close()
{
    SoundState& s = state();
    if (!s.device)
        return;
    forgetSoundTable();
    // Deleting moves the last entry into the freed place: delete from the end.
    while (SoundSource::count() > 0)
        delete SoundSource::at(SoundSource::count() - 1);
    while (SoundData::count() > 0)
        delete SoundData::at(SoundData::count() - 1);
    s.solo = nullptr;
    s.duckFactor = 1.0f;
    s.paused = false;
    s.device.reset();
    logInfo("sound", "output closed");
}

AudioDevice* Sound::device() { return state().device.get(); }

void Sound::update()
{
    SoundState& s = state();
    for (std::size_t i = 0; i < SoundSource::count();) {
        SoundSource* source = SoundSource::at(i);
        if (source->isPlaying()) {
            ++i;
            continue;
        }
        if (source->autoDelete()) {
            if (source == s.solo)
                dropSolo();
            // The last source moves into place i: look at i again.
            delete source;
            continue;
        }
        source->stop();
        ++i;
    }
    if (s.solo)
        applyDuckToAll(s.duckFactor, s.solo);
    if (s.device)
        s.device->update();
}

void Sound::pauseAll()
{
    state().paused = true;
    for (std::size_t i = 0; i < SoundSource::count(); ++i)
        SoundSource::at(i)->pause();
    dropSolo();
}

void Sound::resumeAll()
{
    SoundState& s = state();
    s.paused = false;
    if (!s.device)
        return;
    for (std::size_t i = 0; i < SoundSource::count(); ++i) {
        SoundSource* source = SoundSource::at(i);
        if (source->channel() && s.device->isPaused(source->channel()))
            source->play();
    }
}

void Sound::stopAll()
{
    state().paused = false;
    for (std::size_t i = 0; i < SoundSource::count(); ++i)
        SoundSource::at(i)->stopAlias();
    dropSolo();
}

bool Sound::isPaused() { return state().paused; }

void Sound::setSolo(SoundSource* solo, float factor)
{
    SoundState& s = state();
    if (s.solo && !solo)
        applyDuckToAll(1.0f, nullptr);
    s.solo = solo;
    s.duckFactor = factor;
}

SoundSource* Sound::solo() { return state().solo; }
float Sound::duckFactor() { return state().duckFactor; }

SoundSourceStreamed* Sound::createStreamSource(bool loop)
{
    if (!device())
        return nullptr;
    SoundSourceStreamed* source = registeredOrNull(new SoundSourceStreamed(false));
    if (source)
        source->setLoop(loop);
    return source;
}

SoundSourceBuffered* Sound::createSource2D(SoundData* sound, bool loop)
{
    if (!device())
        return nullptr;
    SoundSourceBuffered* source = registeredOrNull(new SoundSourceBuffered(false, false));
    if (source) {
        source->setSound(sound);
        source->setLoop(loop);
    }
    return source;
}

SoundSourceBuffered* Sound::createLoopSource3D(SoundData* sound)
{
    if (!device())
        return nullptr;
    SoundSourceBuffered* source = registeredOrNull(new SoundSourceBuffered(false, true));
    if (source) {
        source->setSound(sound);
        source->setLoop(true);
    }
    return source;
}

SoundSourceBuffered* Sound::createSource3D(SoundData* sound, const Vec3& position)
{
    if (!device())
        return nullptr;
    SoundSourceBuffered* source = registeredOrNull(new SoundSourceBuffered(true, true));
    if (source) {
        source->set3DAttributes(position, Vec3{});
        source->setSound(sound);
        source->play();
    }
    return source;
}

SoundSourceBuffered* Sound::createOneShot2D(SoundData* sound)
{
    if (!device())
        return nullptr;
    SoundSourceBuffered* source = registeredOrNull(new SoundSourceBuffered(true, false));
    if (source) {
        source->setSound(sound);
        source->play();
    }
    return source;
}

void Sound::setMasterVolume(float volume)
{
    if (AudioDevice* d = device())
        d->setMasterVolume(volume);
}

float Sound::masterVolume()
{
    AudioDevice* d = device();
    return d ? d->masterVolume() : 0.0f;
}

void Sound::setListener(const Vec3& position, const Vec3& forward, const Vec3& up)
{
    if (AudioDevice* d = device())
        d->setListener(position, forward, up);
}
