#pragma once
#include "support/TempDir.h"
#include "support/TestPak.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class FakeAudioDevice;

// The real sound system over the recording fake device for one test, with a
// data folder holding a short tone for each given name ("click" makes
// "data/sounds/click.wav"). Tests ask what was played instead of filling hooks.
// Closes the sound system and puts the file layer back when it goes.
class RecordingSound {
public:
    explicit RecordingSound(std::initializer_list<const char*> names);
    // The same over a data folder the test already reads from (the file
    // layer is left alone).
    RecordingSound(const TempDir& data, std::initializer_list<const char*> names);
    ~RecordingSound();
    RecordingSound(const RecordingSound&) = delete;
    RecordingSound& operator=(const RecordingSound&) = delete;

    bool started() const { return m_device != nullptr; }
    // The data root the file layer reads during the test (descriptions a
    // test needs besides sounds go here); unused with a folder of the test's.
    const TempDir& data() const { return m_data; }
    FakeAudioDevice& device() { return *m_device; }
    // The names of the sounds whose channels started, in order; a sound
    // played from a file outside "data/sounds/" keeps its whole path.
    std::vector<std::string> played() const;
    int playCount(const std::string& name) const;
    void clear();

private:
    void start(const TempDir& data, std::initializer_list<const char*> names);

    TempDir m_save, m_data;
    std::optional<FileLayerScope> m_files;
    FakeAudioDevice* m_device = nullptr;
};
