#include "sound/SoundData.h"

#include "platform/File.h"
#include "platform/Log.h"
#include "sound/Sound.h"

SoundData::SoundData(SampleId sample, std::string_view name, float defaultFrequency)
    : m_sample(sample), m_nameHash(hashName(name)), m_name(name), m_defaultFrequency(defaultFrequency)
{
}

SoundData::~SoundData()
{
    if (AudioDevice* device = Sound::device())
        device->releaseSample(m_sample);
}

std::int32_t SoundData::hashName(std::string_view name)
{
    std::int32_t hash = 0;
    for (char c : name)
        hash += static_cast<std::int8_t>(c);
    return hash;
}

SoundData* SoundData::findByName(std::string_view name)
{
    const std::int32_t hash = hashName(name);
    for (std::size_t i = 0; i < count(); ++i) {
        SoundData* sound = at(i);
        if (sound->m_nameHash == hash && sound->m_name == name)
            return sound;
    }
    return nullptr;
}

SoundData* SoundData::load(std::string_view name)
{
    if (SoundData* found = findByName(name))
        return found;
    AudioDevice* device = Sound::device();
    if (!device)
        return nullptr;
    if (count() >= kCapacity) {
        logWarning("sound", "%.*s not loaded: %zu sounds are loaded already", static_cast<int>(name.size()),
                   name.data(), kCapacity);
        return nullptr;
    }
    PcmBuffer pcm;
    std::unique_ptr<File> file = openFile(name);
    if (!file) {
        logWarning("sound", "%.*s not found", static_cast<int>(name.size()), name.data());
        return nullptr;
    }
    if (!decodeWhole(std::move(file), pcm)) {
        logWarning("sound", "%.*s is no readable sound", static_cast<int>(name.size()), name.data());
        return nullptr;
    }
    const SampleId sample = device->createSample(pcm);
    if (!sample)
        return nullptr;
    return new SoundData(sample, name, static_cast<float>(pcm.rate));
}
