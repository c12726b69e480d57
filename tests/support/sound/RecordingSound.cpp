#include "support/sound/RecordingSound.h"

#include "support/sound/FakeAudioDevice.h"
#include "support/sound/TestWav.h"

#include "sound/Sound.h"
#include "sound/SoundData.h"

#include <algorithm>
#include <memory>

RecordingSound::RecordingSound(std::initializer_list<const char*> names)
{
    m_files.emplace(m_save.folder(), m_data.folder());
    start(m_data, names);
}

RecordingSound::RecordingSound(const TempDir& data, std::initializer_list<const char*> names) { start(data, names); }

void RecordingSound::start(const TempDir& data, std::initializer_list<const char*> names)
{
    // A second of tone at 1000 Hz: one second of fake time ends it.
    for (const char* name : names)
        data.write(std::string(kSoundFolder) + name + ".wav", makeWav(1000, 1, 16, tone(50, 1000, 1000)));
    auto device = std::make_unique<FakeAudioDevice>();
    FakeAudioDevice* fake = device.get();
    if (Sound::init(std::move(device)))
        m_device = fake;
}

RecordingSound::~RecordingSound() { Sound::close(); }

std::vector<std::string> RecordingSound::played() const
{
    std::vector<std::string> names;
    if (!m_device)
        return names;
    const std::string folder = kSoundFolder;
    for (SampleId sample : m_device->playedSamples()) {
        std::string name = "?";
        for (std::size_t i = 0; i < SoundData::count(); ++i)
            if (const SoundData* d = SoundData::at(i); d && d->sample() == sample)
                name = std::string(d->name());
        if (name.starts_with(folder) && name.ends_with(".wav"))
            name = name.substr(folder.size(), name.size() - folder.size() - 4);
        names.push_back(name);
    }
    return names;
}

int RecordingSound::playCount(const std::string& name) const
{
    const std::vector<std::string> all = played();
    return static_cast<int>(std::count(all.begin(), all.end(), name));
}

void RecordingSound::clear()
{
    if (m_device)
        m_device->clearLog();
}
