#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Language.h"
#include "platform/Text.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kTextUnits = 256;

std::u16string formatted(int stringId, const char16_t* name)
{
    char16_t buf[kTextUnits];
    wideFormatW(buf, kTextUnits, getStringByIndex(stringId).c_str(), name);
    return buf;
}

bool listed(const std::vector<Airplane*>& list, const Airplane* a)
{
    return std::find(list.begin(), list.end(), a) != list.end();
}

}  // namespace

void ScoreMgr::showLead(const Airplane* airplane, int which)
{
    if (!airplane || !isLocal(airplane))
        return;
    static constexpr int kStrings[3] = {197, 196, 198};
    static constexpr int kKinds[3] = {1, 2, 3};
    hud().pushWithSound(kKinds[which], kStrings[which], formatted(kStrings[which], airplane->pilotName.c_str()));
}

void ScoreMgr::showTeamLead(int which)
{
    static constexpr int kStrings[3] = {1813, 1812, 1811};
    static constexpr int kKinds[3] = {4, 5, 3};
    hud().pushWithSound(kKinds[which], kStrings[which], formatted(kStrings[which], u""));
}

bool ScoreMgr::announceLeaderChange(const std::vector<Airplane*>& before, const std::vector<Airplane*>& after)
{
    if (muted())
        return false;
    bool shown = false;
    auto show = [&](const Airplane* a, int which) {
        if (isLocal(a)) {
            showLead(a, which);
            shown = true;
        }
    };
    const bool longer = after.size() > before.size();
    for (const Airplane* a : before) {
        if (!listed(after, a))
            show(a, 1);
        else if (longer)
            show(a, 2);
        else if (before.size() > after.size())
            show(a, 0);
    }
    for (const Airplane* a : after)
        if (!listed(before, a))
            show(a, longer ? 2 : 0);
    return shown;
}

bool ScoreMgr::announceTeamLeadChange(int before, int after)
{
    if (muted() || before == after)
        return false;
    if (before != kNoTeam && after == kNoTeam) {
        showTeamLead(2);
        return true;
    }
    showTeamLead(after == localTeam() ? 0 : 1);
    return true;
}

bool ScoreMgr::showPointsToWin(const Airplane* airplane)
{
    if (muted() || !airplane || scoreLimit <= 0 || !listed(leaders(0), airplane))
        return false;
    const int left = scoreLimit - airplane->scores[Airplane::kScorePoints];
    // Only the last few points are announced; a player already past the limit hears nothing.
    if (left < 1 || left > 3)
        return false;
    char16_t buf[kTextUnits];
    wideFormatW(buf, kTextUnits, getStringByIndex(199).c_str(), left);
    hud().pushWithSound(5 + left, 199, buf);
    return true;
}

bool ScoreMgr::showStreak(const Airplane* airplane)
{
    if (muted() || !airplane)
        return false;
    const int streak = airplane->scores[Airplane::kScoreStreak];
    int stringId = 0, kind = 0;
    switch (streak) {
    case 3: stringId = 201, kind = 10; break;
    case 4: stringId = 202, kind = 11; break;
    case 5: stringId = 203, kind = 12; break;
    case 8: stringId = 204, kind = 13; break;
    default:
        if (streak < 10)
            return false;
        stringId = 205, kind = 14;
    }
    if (isLocal(airplane)) {
        hud().pushWithSound(kind, stringId, formatted(stringId, airplane->pilotName.c_str()));
        return true;
    }
    if (airplane->pilotName.empty())
        return false;
    std::u16string text;
    // The name wears the event lines' colours: 7 for the player's own team, 8 for the others.
    text += static_cast<char16_t>(m_mode && m_mode->playerColorCode(airplane->team()) == 0 ? 7 : 8);
    text += u";";
    text += truncateWide(airplane->pilotName.c_str(), 10);
    text += static_cast<char16_t>(1);
    text += u"; ";
    text += formatted(stringId, airplane->pilotName.c_str());
    hud().pushLong(stringId, text);
    return true;
}
