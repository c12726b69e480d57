#pragma once
#include "support/sound/RecordingSound.h"
#include "ui/MenuHooks.h"

#include <string>
#include <vector>

// The menu sounds heard on the recording sound device, in the menu's terms.
class MenuSoundLog {
public:
    explicit MenuSoundLog(const RecordingSound& sound) : m_sound(&sound) {}

    std::vector<MenuSound> list() const
    {
        std::vector<MenuSound> out;
        for (const std::string& name : m_sound->played())
            if (name == "click" || name == "clickback")
                out.push_back(name == "click" ? MenuSound::Click : MenuSound::ClickBack);
        return out;
    }
    std::size_t size() const { return list().size(); }
    void clear() { const_cast<RecordingSound*>(m_sound)->clear(); }
    bool operator==(const std::vector<MenuSound>& other) const { return list() == other; }

private:
    const RecordingSound* m_sound;
};
