#include "platform/Settings.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/SaveNotices.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {
bool inRange(int index, int count) { return index >= 0 && index < count; }

int missionSlot(int campaign, int mission)
{
    if (!inRange(campaign, Settings::kCampaignCount) || !inRange(mission, Settings::kMissionsPerCampaign))
        return -1;
    return campaign * Settings::kMissionsPerCampaign + mission;
}

int skirmishSlot(int entry, int word)
{
    if (entry == Settings::kEntryFurther && word == 0)
        return Settings::kWeaponRuleWord;
    if (!inRange(entry, Settings::kEntryHost + 1) || !inRange(word, Settings::kEntryWords))
        return -1;
    return entry * Settings::kEntryWords + word;
}

template <class Table>
typename Table::value_type tableAt(const Table& table, int index)
{
    return inRange(index, static_cast<int>(table.size())) ? table[index] : typename Table::value_type{};
}

template <class Table>
void setTableAt(Table& table, int index, typename Table::value_type value)
{
    if (inRange(index, static_cast<int>(table.size())))
        table[index] = value;
}

float clampFinite(float value, float low, float high, float fallback)
{
    if (!std::isfinite(value))
        return fallback;
    return std::clamp(value, low, high);
}
}  // namespace

Settings::Settings()
{
    setProfileDefaults();
    setSkirmishDefaults();
    for (int i = 0; i < kChatPresetCount; ++i)
        chatPresets[i] = defaultChatPreset(i);
}

std::u16string Settings::defaultChatPreset(int index)
{
    return u"Custom message " + std::u16string(1, static_cast<char16_t>(u'1' + index));
}

Settings& settings()
{
    static Settings record;
    return record;
}

void Settings::setProfileDefaults()
{
    // playerAccount comes from the account layer, not from the profile: it stays.
    playerName = u"Pilot";
    playerRank = 0;
    pointsSP = pointsMP = 0;
    planeUnlocked.fill(0);
    campaignAccess.fill(0);
    campaignProgress.fill(0);
    campaignResults.fill(0);
    unlockOnlineMultiplayer = unlockFFA = unlockDTB = unlockSurvivalCoop = unlockFreeFlight = 0;
    unlockPlanePainting = unlockWeaponChoice = unlockWeaponPack = unlockAcrobaticSmoke = rated = 0;
    achievementDone.fill(0);
    eventTalliesSP.fill(0);
    eventTalliesMP.fill(0);
    tutorialDone.fill(0);
    dogfightIndex = 0;
    dogfightsUnlocked = 0;
    dogfightSkill = 0.4f;
    dogfightEnemyCount = 2;
    dogfightMissileEnemies = 0;
    dogfightParam4 = dogfightParam5 = 1;
    dogfightDone.fill(0);
    dogfightMedals.fill(0);
    bestWaveSP = bestWaveMP = 0;
    profileResetPending = 0;
}

void Settings::setSkirmishDefaults()
{
    skirmishConfig.fill(0);
    const float half = 0.5f;
    for (int entry : {kEntryTD, kEntryDTB, kEntryCTF}) {
        setSkirmishWord(entry, 2, 4);  // bots of team 0
        setSkirmishWord(entry, 3, 5);  // bots of team 1
        setSkirmishFloat(entry, 5, half);
    }
    // Free-for-all keeps its bot skill in word 4.
    setSkirmishWord(kEntryFFA, 2, 7);
    setSkirmishFloat(kEntryFFA, 4, half);
    setSkirmishWord(kEntryHost, 2, 8);  // maximum players
    setSkirmishWord(kEntryHost, 3, 8);  // respawn delay, seconds
}

bool Settings::load()
{
    return loadFromSaveFolder(kFileName);
}

bool Settings::loadFromSaveFolder(const char* name)
{
    std::vector<std::uint8_t> bytes;
    if (!readSaveFile(name, kMaxFileBytes, bytes)) {
        // Too large or unreadable: the next save would replace it unkept.
        if (std::string_view(name) != kFileName)
            return false;
        setAsideUnreadSaveFile(kFileName, kDamagedFileName, "the settings keep their values", SaveNotice::SettingsReset);
        return false;
    }
    const int blocks = decode(bytes);
    if (blocks < 2) {
        // The next save replaces the file: keep the player's bytes first, once,
        // so they can still be recovered.
        std::string kept;
        const bool own = std::string_view(name) == kFileName;
        const KeptSaveFile result =
            own ? keepDamagedSaveFile(kFileName, kDamagedFileName, bytes, kept) : KeptSaveFile::KeptBefore;
        logWarning("platform", "%s: %d of 2 settings blocks read back valid; the others keep their values%s%s", name,
                   blocks, keptFileNote(result), kept.c_str());
        if (own)
            raiseSaveNotice(SaveNotice::SettingsReset);
    }
    return blocks > 0;
}

bool Settings::save() const
{
    if (writeSaveFileAtomic(kFileName, encode()))
        return true;
    logWarning("platform", "%s: could not be written", kFileName);
    return false;
}

void Settings::loadTmpFile()
{
    if (saveFolder().empty() || !FileDisk::open(saveFolder() + kTmpFileName, "rb"))
        return;
    // An unreadable pending file is dropped all the same, or every start would
    // trip over it again.
    (void)loadFromSaveFolder(kTmpFileName);  // a damaged one has said so
    if (save())
        removeSaveFile(kTmpFileName);
}

bool Settings::fileSaved()
{
    return saveFileExists(kFileName);
}

void Settings::nameAfterAccount(std::u16string_view accountName)
{
    constexpr std::size_t kProfileNameUnits = 19;
    std::u16string name;
    for (char16_t c : accountName)
        if (c >= u' ' && c != u'\x7f' && name.size() < kProfileNameUnits)
            name += c;
    if (name.find_first_not_of(u' ') != std::u16string::npos)
        playerName = name;
}

void Settings::resetPlayerProfile()
{
    setProfileDefaults();
}

void Settings::sanitize(std::span<const int> planeIds, int mapCount)
{
    if (languageIndex < -1 || languageIndex >= kLanguageCount)
        languageIndex = -1;
    // 2 is "not chosen yet": it must reach the first game, which asks.
    const auto chosenOrNot = [](std::int32_t type) { return type >= 0 && type <= 2 ? type : 0; };
    if (m_forcingControlType)
        m_ownControlType = chosenOrNot(m_ownControlType);
    else
        controlType = chosenOrNot(controlType);
    if (!inRange(controlDevice, 3))
        controlDevice = 0;
    if (!planeIds.empty() && std::find(planeIds.begin(), planeIds.end(), localPlaneId) == planeIds.end() &&
        inRange(planeIds.front(), kPlaneIdCount))
        localPlaneId = static_cast<std::uint8_t>(planeIds.front());
    if (skirmishMap < -1 || (mapCount >= 0 && skirmishMap >= mapCount))
        skirmishMap = -1;
    dogfightIndex = std::clamp(dogfightIndex, 0, kDogfightCount - 1);
    dogfightsUnlocked = std::clamp(dogfightsUnlocked, 0, kDogfightCount);
    savedDifficulty = std::min<std::uint8_t>(savedDifficulty, 2);
    playerRank = std::min<std::uint8_t>(playerRank, kMaxRank);
    soundVolume = clampFinite(soundVolume, 0.0f, 1.0f, 0.7f);
    musicVolume = clampFinite(musicVolume, 0.0f, 1.0f, 0.7f);
    for (float* s : {&keyboardSensitivity, &joystickSensitivity, &mouseSensitivity})
        *s = clampFinite(*s, kMinSensitivity, kMaxSensitivity, 1.0f);
    aiSkill = clampFinite(aiSkill, 0.2f, 1.0f, 0.7f);
    sunValue = clampFinite(sunValue, 0.04f, 0.96f, 0.5f);
    for (auto& weapon : weaponLoadout)
        weapon = std::max(weapon, -1);
}

void Settings::setModeOptionPair(int gameType)
{
    int entry = -1;
    switch (gameType) {
    case 2: entry = kEntryFFA; break;
    case 3: entry = kEntryTD; break;
    case 4: entry = kEntryCTF; break;
    case 5: entry = kEntryDTB; break;
    default: return;
    }
    setSkirmishWord(entry, 0, skirmishWord(kEntryHost, 0));
    setSkirmishWord(entry, 1, skirmishWord(kEntryHost, 1));
    setSkirmishWord(entry, 2, 0);
    if (gameType >= 3)
        setSkirmishWord(entry, 3, 0);
}

void Settings::recordMissionResultFlag(int kind, int campaign, int mission, std::uint8_t value)
{
    int lane = -1;
    switch (kind) {
    case 1: lane = 0; break;
    case 2: lane = 1; break;
    case 0: lane = 2; break;
    default: return;
    }
    const int slot = missionSlot(campaign, mission);
    if (slot < 0)
        return;
    const int shift = lane * 8;
    std::uint32_t& entry = campaignResults[slot];
    entry = (entry & ~(0xFFu << shift)) | (std::uint32_t{value} << shift);
}

void Settings::forceControlType(std::int32_t value)
{
    if (!m_forcingControlType) {
        m_ownControlType = controlType;
        m_forcingControlType = true;
    }
    controlType = value;
}

void Settings::setPlayerControlType(std::int32_t value)
{
    if (m_forcingControlType)
        m_ownControlType = value;
    else
        controlType = value;
}

void Settings::forceFlightHint(std::uint8_t value)
{
    if (!m_forcingFlightHint) {
        m_ownFlightHint = flightHintEnabled;
        m_forcingFlightHint = true;
    }
    flightHintEnabled = value;
}

void Settings::endForcedValues()
{
    if (m_forcingControlType)
        controlType = m_ownControlType;
    if (m_forcingFlightHint)
        flightHintEnabled = m_ownFlightHint;
    m_forcingControlType = m_forcingFlightHint = false;
}

std::uint8_t Settings::campaignProgressAt(int campaign, int mission) const
{
    const int slot = missionSlot(campaign, mission);
    return slot < 0 ? 0 : campaignProgress[slot];
}

void Settings::setCampaignProgress(int campaign, int mission, std::uint8_t value)
{
    const int slot = missionSlot(campaign, mission);
    if (slot >= 0)
        campaignProgress[slot] = value;
}

std::uint32_t Settings::campaignResultAt(int campaign, int mission) const
{
    const int slot = missionSlot(campaign, mission);
    return slot < 0 ? 0 : campaignResults[slot];
}

std::uint8_t Settings::campaignAccessAt(int campaign) const { return tableAt(campaignAccess, campaign); }
void Settings::setCampaignAccess(int campaign, std::uint8_t value) { setTableAt(campaignAccess, campaign, value); }
std::uint8_t Settings::planeUnlockedAt(int planeId) const { return tableAt(planeUnlocked, planeId); }
void Settings::setPlaneUnlocked(int planeId, std::uint8_t value) { setTableAt(planeUnlocked, planeId, value); }
std::uint8_t Settings::achievementDoneAt(int index) const { return tableAt(achievementDone, index); }
void Settings::setAchievementDone(int index, std::uint8_t value) { setTableAt(achievementDone, index, value); }
std::uint8_t Settings::tutorialDoneAt(int index) const { return tableAt(tutorialDone, index); }
void Settings::setTutorialDone(int index, std::uint8_t value) { setTableAt(tutorialDone, index, value); }
std::uint8_t Settings::dogfightDoneAt(int index) const { return tableAt(dogfightDone, index); }
void Settings::setDogfightDone(int index, std::uint8_t value) { setTableAt(dogfightDone, index, value); }
std::uint8_t Settings::dogfightMedalAt(int index) const { return tableAt(dogfightMedals, index); }
void Settings::setDogfightMedal(int index, std::uint8_t value) { setTableAt(dogfightMedals, index, value); }

std::int32_t Settings::eventTallyAt(bool network, int eventId) const
{
    return tableAt(network ? eventTalliesMP : eventTalliesSP, eventId);
}

void Settings::setEventTally(bool network, int eventId, std::int32_t value)
{
    setTableAt(network ? eventTalliesMP : eventTalliesSP, eventId, value);
}

const PlanePaint& Settings::paintAt(int planeId) const
{
    return planePaintTable[inRange(planeId, kPlaneIdCount) ? planeId : 0];
}

void Settings::setPaint(int planeId, const PlanePaint& paint)
{
    if (inRange(planeId, kPlaneIdCount))
        planePaintTable[planeId] = paint;
}

std::uint32_t Settings::skirmishWord(int entry, int word) const
{
    const int slot = skirmishSlot(entry, word);
    return slot < 0 ? 0 : skirmishConfig[slot];
}

void Settings::setSkirmishWord(int entry, int word, std::uint32_t value)
{
    const int slot = skirmishSlot(entry, word);
    if (slot >= 0)
        skirmishConfig[slot] = value;
}

float Settings::skirmishFloat(int entry, int word) const
{
    return std::bit_cast<float>(skirmishWord(entry, word));
}

void Settings::setSkirmishFloat(int entry, int word, float value)
{
    setSkirmishWord(entry, word, std::bit_cast<std::uint32_t>(value));
}
