#include "modes/progress/UnlocksMgr.h"

#include "gamedata/records/PlaneList.h"
#include "modes/progress/AchievementTable.h"
#include "platform/Analytics.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/Text.h"

#include <array>

namespace {
constexpr int kRankNameText = 138, kMaxRank = 17;
constexpr int kCampaignNameText = 1758;

// A byte flag: set to 1, true when it was 0.
bool raise(std::uint8_t& flag)
{
    if (flag != 0)
        return false;
    flag = 1;
    return true;
}
}  // namespace

UnlocksMgr::UnlocksMgr() : UnlocksMgr(settings(), PlaneList::instance()) {}

UnlocksMgr::UnlocksMgr(Settings& settings, const PlaneList& planes) : m_settings(&settings), m_planes(&planes) {}

UnlocksMgr& UnlocksMgr::instance()
{
    static UnlocksMgr manager;
    return manager;
}

void UnlocksMgr::describe(SerMembers& members) { members.add("events", m_events); }

bool UnlocksMgr::load()
{
    m_events.clear();
    m_recent.clear();
    const auto file = openFile(kFileName);
    if (!file) {
        logWarning("modes", "%s: missing, nothing can be unlocked", kFileName);
        return false;
    }
    return load(*file);
}

bool UnlocksMgr::load(File& file)
{
    m_events.clear();
    m_recent.clear();
    if (loadFile(file))
        return true;
    logWarning("modes", "%s: the unlock rules do not read, nothing can be unlocked", UnlocksMgr::kFileName);
    // Half a rule set would unlock by the wrong deeds: none at all instead.
    m_events.clear();
    return false;
}

template <class Match>
void UnlocksMgr::applyRules(UnlockEventType type, Match match)
{
    for (int i = 0; i < m_events.count(); ++i) {
        const UnlockEvent& rule = *m_events.at(i);
        if (rule.type() == type && match(rule))
            applyRule(rule);
    }
}

void UnlocksMgr::applyRule(const UnlockEvent& rule)
{
    for (int i = 0; i < rule.items.count(); ++i)
        applyItem(*rule.items.at(i), rule.type(), rule.silent, rule.unlockMessageStringID);
}

void UnlocksMgr::fireEvent(UnlockEventType type)
{
    applyRules(type, [](const UnlockEvent&) { return true; });
}

void UnlocksMgr::onRank(int rank)
{
    applyRules(UnlockEventType::Rank, [rank](const UnlockEvent& rule) { return rule.parameterInt1 <= rank; });
}

void UnlocksMgr::onAcePoints(int points)
{
    applyRules(UnlockEventType::AcePoints, [points](const UnlockEvent& rule) { return rule.parameterInt1 <= points; });
}

void UnlocksMgr::onDogfight(int value)
{
    applyRules(UnlockEventType::Dogfight, [value](const UnlockEvent& rule) { return rule.parameterInt1 <= value; });
}

void UnlocksMgr::onSurvivalWave(int wave)
{
    applyRules(UnlockEventType::SurvivalWave, [wave](const UnlockEvent& rule) { return rule.parameterInt1 <= wave; });
}

void UnlocksMgr::onCampaignMissionWin(int campaign, int mission)
{
    applyRules(UnlockEventType::CampaignMissionWin, [=](const UnlockEvent& rule) {
        return rule.parameterInt1 == campaign && rule.parameterInt2 == mission;
    });
}

void UnlocksMgr::onAchievement(int index)
{
    applyRules(UnlockEventType::Achievement, [index](const UnlockEvent& rule) { return rule.parameterInt1 == index; });
}

void UnlocksMgr::onRate()
{
    for (int i = 0; i < m_events.count(); ++i) {
        const UnlockEvent& rule = *m_events.at(i);
        if (rule.type() != UnlockEventType::Rate)
            continue;
        m_settings->rated = 1;
        applyRule(rule);
        // After the items, so one write holds them with the flag.
        m_settings->save();
        return;
    }
}

void UnlocksMgr::replayProgress()
{
    m_listener = nullptr;
    fireEvent(UnlockEventType::Start);
    onRank(m_settings->playerRank);
    onAcePoints(m_settings->pointsSP + m_settings->pointsMP);
    onDogfight(m_settings->dogfightsUnlocked);
    for (int i = 0; i < Settings::kAchievementCount; ++i)
        if (m_settings->achievementDoneAt(i))
            onAchievement(i);
    m_settings->save();
}

int UnlocksMgr::planeIdOf(const UnlockItem& item) const
{
    // The unlock table is indexed by plane id, never by list position.
    const int id = m_planes->idByName(item.parameterString);
    return id >= 0 && id < Settings::kPlaneIdCount ? id : -1;
}

bool UnlocksMgr::setItemState(const UnlockItem& item)
{
    Settings& s = *m_settings;
    switch (item.type()) {
    case UnlockItemType::Plane: {
        const int id = planeIdOf(item);
        if (id < 0 || s.planeUnlockedAt(id))
            return false;
        s.setPlaneUnlocked(id, 1);
        Analytics::setUnlockedPlaneParams(id);
        return true;
    }
    case UnlockItemType::CampaignAccess: {
        const int campaign = item.parameterInt1;
        if (campaign < 0 || campaign >= Settings::kCampaignCount || s.campaignAccessAt(campaign))
            return false;
        s.setCampaignAccess(campaign, 1);
        s.setCampaignProgress(campaign, 0, 1);
        return true;
    }
    case UnlockItemType::MultiplayerOnline: return raise(s.unlockOnlineMultiplayer);
    case UnlockItemType::FreeForAll: return raise(s.unlockFFA);
    case UnlockItemType::DestroyTheBase: return raise(s.unlockDTB);
    case UnlockItemType::SurvivalCoop: return raise(s.unlockSurvivalCoop);
    case UnlockItemType::FreeFlight: return raise(s.unlockFreeFlight);
    case UnlockItemType::AirplaneCustomize: return raise(s.unlockPlanePainting);
    case UnlockItemType::WeaponCustomize: return raise(s.unlockWeaponChoice);
    case UnlockItemType::WeaponPack1: return raise(s.unlockWeaponPack);
    case UnlockItemType::AcrobaticSmoke: return raise(s.unlockAcrobaticSmoke);
    default: return false;
    }
}

bool UnlocksMgr::applyItem(const UnlockItem& item, UnlockEventType type, bool ruleSilent, const std::string& message)
{
    if (!setItemState(item))
        return false;
    if (!ruleSilent && !item.silent) {
        if (m_listener)
            m_listener->onItemUnlocked(item, type, message);
        m_recent.push_back(&item);
    }
    return true;
}

std::u16string UnlocksMgr::describePlaneUnlock(int planeId) const
{
    std::u16string result;
    std::array<char16_t, kDescriptionUnits> line{};
    for (int i = 0; i < m_events.count(); ++i) {
        const UnlockEvent& rule = *m_events.at(i);
        const int p1 = rule.parameterInt1;
        for (int k = 0; k < rule.items.count(); ++k) {
            const UnlockItem& item = *rule.items.at(k);
            if (item.type() != UnlockItemType::Plane || planeIdOf(item) != planeId || planeId < 0)
                continue;
            line[0] = 0;
            switch (rule.type()) {
            case UnlockEventType::Rank: {
                const int rankText = kRankNameText + (p1 >= 0 && p1 <= kMaxRank ? p1 : 0);
                wideFormatW(line.data(), line.size(), getStringByIndex(858).c_str(), getStringByIndex(rankText));
                break;
            }
            case UnlockEventType::CampaignMissionWin: {
                const int nameText = kCampaignNameText + (p1 >= 0 && p1 < Settings::kCampaignCount ? p1 : 0);
                wideFormatW(line.data(), line.size(), getStringByIndex(859).c_str(), rule.parameterInt2 + 1,
                            getStringByIndex(nameText));
                break;
            }
            case UnlockEventType::SurvivalWave:
                wideFormatW(line.data(), line.size(), getStringByIndex(860).c_str(), p1);
                break;
            case UnlockEventType::Dogfight:
                wideFormatW(line.data(), line.size(), getStringByIndex(861).c_str(), p1);
                break;
            case UnlockEventType::FreeUpdate:
                wideFormatW(line.data(), line.size(), getStringByIndex(863).c_str());
                break;
            case UnlockEventType::AcePoints:
                wideFormatW(line.data(), line.size(), getStringByIndex(868).c_str(), p1);
                break;
            case UnlockEventType::Achievement: {
                const int nameText = achievementNameText(p1);
                if (nameText >= 0)
                    wideFormat(line.data(), line.size(), "%w %w", getStringByIndex(857), getStringByIndex(nameText));
                break;
            }
            case UnlockEventType::Facebook:
                wideFormatW(line.data(), line.size(), getStringByIndex(867).c_str(), 10);
                break;
            default:
                break;
            }
            const std::size_t units = wstrLen(line.data());
            if (units > 0 && result.size() + units < kDescriptionUnits)
                result.append(line.data(), units);
        }
    }
    return result;
}
