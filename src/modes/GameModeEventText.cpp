#include "modes/GameMode.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/records/UnitCfg.h"
#include "platform/Language.h"
#include "platform/StringTable.h"

namespace {
// Colour codes of the HUD's text renderer: each is the byte and a semicolon.
constexpr char16_t kOwnTeamColour = 0x07;
constexpr char16_t kOtherColour = 0x08;
constexpr char16_t kPlainColour = 0x01;
// "You returned your flag" has a number of its own: the options page's
// language button holds the number the other flag lines count from.
constexpr int kYouReturnedText = 1820;

std::u16string text(int id)
{
    if (const std::u16string* s = findStringTable().text(id))
        return *s;
    return u"DUMMY";
}
}  // namespace

std::u16string GameMode::colouredName(const Target& entity, std::size_t maxLength) const
{
    std::u16string out;
    out += playerColorCode(entity.team()) == 0 ? kOwnTeamColour : kOtherColour;
    out += u';';
    std::u16string_view name = std::u16string_view(entity.pilotName).substr(0, maxLength);
    // Ground units and ships have no pilot: their unit's name stands in, whole,
    // as the cut is for typed pilot names.
    if (name.empty())
        if (const auto* unit = dynamic_cast<const GroundTarget*>(&entity); unit && unit->unit())
            if (const std::u16string* shown = findStringTable().text(unit->unit()->displayId))
                name = *shown;
    out += name;
    out += kPlainColour;
    out += u';';
    return out;
}

void GameMode::postEventText(EventKind kind, const Target& victim, const Target* other)
{
    const bool shortNames = kind == EventKind::ShotDown || kind == EventKind::Base || kind == EventKind::Ejected;
    const std::size_t cut = shortNames ? 10 : 20;
    const std::u16string v = colouredName(victim, cut);
    const std::u16string k = other ? colouredName(*other, cut) : std::u16string();
    // Bots fly as local entities too: "you" is only ever the player's own airplane.
    const bool vLocal = m_playerAirplane && &victim == m_playerAirplane;
    const bool kLocal = m_playerAirplane && other == m_playerAirplane;
    const bool hasPlayer = m_playerAirplane != nullptr;
    const bool ownTeam = hasPlayer && victim.team() == m_playerAirplane->team();

    std::u16string line;
    switch (kind) {
    case EventKind::ShotDown:
        if (!other)
            line = vLocal ? text(95) : v + u" " + text(97) + u" ";
        else if (vLocal)
            line = text(90) + u" " + k + u" ";
        else if (kLocal)
            line = text(89) + u" " + v + u" ";
        else
            line = v + u"  " + text(71) + u"  " + k + u" ";
        break;
    case EventKind::Base:
        if (kLocal)
            line = text(96);
        else
            line = ownTeam ? k + u" " + text(92) : k + u" " + text(91) + u" ";
        break;
    case EventKind::FlagTaken:
        line = vLocal ? text(75) : v + u" " + text(ownTeam ? 76 : 77);
        break;
    case EventKind::FlagCaptured:
        line = vLocal ? text(78) : v + u" " + text(79);
        break;
    case EventKind::FlagDropped:
        line = vLocal ? text(83) : v + u" " + text(ownTeam ? 84 : 85);
        break;
    case EventKind::FlagReturned:
        line = vLocal ? text(kYouReturnedText) : v + u" " + text(ownTeam ? 81 : 82);
        break;
    case EventKind::FlagReturnedTeam:
        if (!hasPlayer)
            return;
        line = text(ownTeam ? 87 : 86);
        break;
    case EventKind::TeamChange:
        line = v + u" " + text(386) + u" " + text(victim.team() == 0 ? 184 : 185);
        break;
    case EventKind::Ejected:
        line = vLocal ? text(93) : v + u" " + text(94) + u" ";
        break;
    default:
        return;
    }
    if (kind == EventKind::ShotDown || kind == EventKind::Base || kind == EventKind::TeamChange ||
        kind == EventKind::Ejected)
        m_services.messagesOrNone().pushLong(line);
    else
        m_services.messagesOrNone().pushNotice(line, -1.0f, 1, 0);
}
