#include "support/modes/TutorialFakes.h"

#include <algorithm>

void RecordingTutorialHud::tick(float dt)
{
    if (queue.empty())
        return;
    queue.front().seconds -= dt;
    if (queue.front().seconds <= 0.0f)
        queue.pop_front();
}

bool RecordingTutorialHud::pushedLine(int id) const { return pushedCount(id) > 0; }

int RecordingTutorialHud::pushedCount(int id) const
{
    return static_cast<int>(std::count_if(pushed.begin(), pushed.end(), [id](const Entry& e) { return e.lineId == id; }));
}

void RecordingTutorialHud::pushTutorialLine(int stringId, float seconds)
{
    pushed.push_back({stringId, {}, seconds});
    queue.push_back(pushed.back());
}

void RecordingTutorialHud::pushNotice(std::u16string_view text, float seconds)
{
    pushed.push_back({0, std::u16string(text), seconds});
    queue.push_back(pushed.back());
}

void RecordingTutorialHud::clearNotices()
{
    ++clears;
    queue.clear();
}

void RecordingTutorialHud::popOldestNotice()
{
    ++pops;
    if (!queue.empty())
        queue.pop_front();
}

void RecordingTutorialHud::hideAllButtons()
{
    for (auto& [id, on] : visible)
        on = id == kPauseButton || id == kCameraButton;
    for (int id : {1, 5, 6, 7, 9, 10, 11, 12, 19, 20, 21, 22, 23, 24, 25})
        visible[id] = false;
    padOn = false;
    dragOn = false;
}

void RecordingTutorialHud::linkWeapons()
{
    for (int first : {19, 21, 23}) {
        const bool a = buttonVisible(first), b = buttonVisible(first + 1);
        if (a == b)
            continue;
        visible[first] = b;
        visible[first + 1] = a;
    }
}

bool RecordingTutorialHud::buttonVisible(int id) const
{
    const auto it = visible.find(id);
    return it != visible.end() && it->second;
}

void RecordingTutorialHud::showButtonGroup(int showId, int hideId)
{
    if (showId != 0)
        visible[showId] = true;
    if (hideId != 0)
        visible[hideId] = false;
}

void RecordingTutorialHud::showSquadButtons(int index)
{
    visible[kSquadOrderA] = visible[kSquadOrderD] = visible[kSquadOrderF] = false;
    const int ids[3] = {kSquadOrderA, kSquadOrderD, kSquadOrderF};
    if (index >= 0 && index < 3)
        visible[ids[index]] = true;
}

void RecordingTutorialHud::setWeaponGauges(bool shown, bool fading)
{
    gaugesShown = shown;
    gaugesFading = fading;
}

bool RecordingTutorialHud::elementRect(int element, Rect& out) const
{
    out = {100.0f + static_cast<float>(element), 200.0f, 40.0f, 30.0f};
    return true;
}

void RecordingTutorialHud::lookAtPoint(const Vec3&, float distance)
{
    ++lookAts;
    lookAtDistance = distance;
}

int RecordingOverlays::count(PauseMenu menu) const
{
    return static_cast<int>(std::count(opened.begin(), opened.end(), menu));
}

int RecordingProgress::count(int id) const { return static_cast<int>(std::count(events.begin(), events.end(), id)); }
