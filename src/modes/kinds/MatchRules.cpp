#include "modes/kinds/MatchRules.h"

#include "modes/GameMode.h"
#include "platform/Language.h"
#include "platform/Settings.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace matchrules {

int botCount(int entry, int word)
{
    return std::clamp(static_cast<int>(settings().skirmishWord(entry, word)), 0, 64);
}

float botSkill(int entry, int word)
{
    const float skill = settings().skirmishFloat(entry, word);
    return std::isfinite(skill) ? std::clamp(skill, 0.0f, 1.0f) : 0.5f;
}

namespace {
std::u16string formatted(int textId, int a, int b)
{
    constexpr std::size_t kUnits = 128;
    char16_t buf[kUnits];
    const std::u16string& format = getStringByIndex(textId);
    if (b >= 0)
        wideFormatW(buf, kUnits, format.c_str(), a, b);
    else if (a >= 0)
        wideFormatW(buf, kUnits, format.c_str(), a);
    else
        return format;
    return buf;
}
}  // namespace

void pushCountdown(GameMode& mode, int textId, int a, int b)
{
    IModeMessages& m = mode.services().messagesOrNone();
    m.clearNotices();
    // Each second replaces the last: no pop-in and no sound.
    m.pushNotice(formatted(textId, a, b), 0.0f, 0, 1);
}

void pushStart(GameMode& mode, int textId, int a)
{
    IModeMessages& m = mode.services().messagesOrNone();
    m.clearNotices();
    // Kept by its length, popping in, with its sound.
    m.pushNotice(formatted(textId, a, -1), -1.0f, 1, 0);
}

bool tick(float& timer, float dt)
{
    const int before = static_cast<int>(timer);
    timer -= dt;
    return static_cast<int>(timer) != before;
}

bool inPlay(const GameMode& mode, const Target& t)
{
    if (t.isActive())
        return true;
    if (t.respawnTimer == -1.0f)
        return false;
    const auto queue = mode.respawnQueue();
    return std::find(queue.begin(), queue.end(), &t) != queue.end();
}

}  // namespace matchrules
