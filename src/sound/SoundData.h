#pragma once
#include "platform/ManagedArray.h"
#include "sound/AudioDevice.h"

#include <cstdint>
#include <string>
#include <string_view>

// One sound file decoded into memory, shared by name: loading a file twice
// gives the same object.
class SoundData : public ManagedArray<SoundData, 128> {
public:
    // The registered sound of that name, else a new one read through the file
    // layer (save folder, data folder, paks). Null when the file is missing or
    // no readable sound, when no sound system runs, and when 128 sounds are
    // loaded (an unregistered sound could never be found again).
    static SoundData* load(std::string_view name);
    // The registered sound of that name; null when none.
    static SoundData* findByName(std::string_view name);
    // Sum of the name's bytes, each read as signed 8-bit.
    static std::int32_t hashName(std::string_view name);

    virtual ~SoundData();
    SoundData(const SoundData&) = delete;
    SoundData& operator=(const SoundData&) = delete;

    SampleId sample() const { return m_sample; }
    const std::string& name() const { return m_name; }
    std::int32_t nameHash() const { return m_nameHash; }
    float defaultFrequency() const { return m_defaultFrequency; }  // Hz, the file's rate

private:
    SoundData(SampleId sample, std::string_view name, float defaultFrequency);

    SampleId m_sample;
    std::int32_t m_nameHash;
    std::string m_name;
    float m_defaultFrequency;
};
