#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One plane's paint: two colors of {hue in degrees 0..360, saturation 0..1, value 0..1}.
struct PlanePaint {
    float hue0 = 0.0f, saturation0 = 0.0f, value0 = 0.6f;
    float hue1 = 0.0f, saturation1 = 0.0f, value1 = 0.8f;
    bool operator==(const PlanePaint&) const = default;
};

// The player's profile, options and progress, saved to "tq2_settings.bin" in
// the save folder. The record starts at its defaults; load() only ever
// replaces values that read back valid, so re-loading never loses progress
// held in memory. Tables indexed by values from files, menus or the network
// have checked accessors: a read out of range gives 0, a write does nothing.
class Settings {
public:
    static constexpr int kCampaignCount = 3;
    static constexpr int kMissionsPerCampaign = 16;
    static constexpr int kPlaneIdCount = 256;
    static constexpr int kAchievementCount = 100;
    // Event ids 0..149: the campaign's mission events reach 132 + 5 x 2 + 7.
    static constexpr int kEventIdCount = 150;
    static constexpr int kTutorialCount = 10;
    static constexpr int kDogfightCount = 20;
    static constexpr int kLanguageCount = 10;
    static constexpr int kMaxRank = 17;
    static constexpr int kChatPresetCount = 6;
    static constexpr std::size_t kMaxPlayerNameUnits = 31;
    static constexpr std::size_t kMaxChatPresetUnits = 19;
    static constexpr std::size_t kMaxRoomNameUnits = 31;
    static constexpr float kMinSensitivity = 0.6f, kMaxSensitivity = 1.7f;

    // skirmishConfig: four entries of six words (team deathmatch, destroy the
    // base, capture the flag, free-for-all), the host entry, one further word.
    static constexpr int kSkirmishConfigWords = 31;
    static constexpr int kEntryWords = 6;
    static constexpr int kEntryTD = 0, kEntryDTB = 1, kEntryCTF = 2, kEntryFFA = 3, kEntryHost = 4;
    // The further word, reached as word 0 of kEntryFurther: the weapon rule in
    // its low byte (0 none, 1 missiles only, 2 guns only), a second flag in bit 8.
    static constexpr int kEntryFurther = 5;
    static constexpr int kWeaponRuleWord = 30;

    static constexpr const char* kFileName = "tq2_settings.bin";
    static constexpr const char* kTmpFileName = "tq2_settings.tmp";
    // The first damaged settings file the game met, kept before a save replaces it.
    static constexpr const char* kDamagedFileName = "tq2_settings.bin.bad";
    // Two blocks of at most 1 MiB each and their headers; a larger file is damaged.
    static constexpr std::size_t kMaxFileBytes = 2u * 1024u * 1024u + 64u;

    Settings();

    // Profile and progress (saved in the profile block).
    std::u16string playerName = u"Pilot";        // at most 31 units
    // The four player words: the account number, then three zero words. The
    // player's airplane carries them into matches; the room server and the
    // hosts know the player by them.
    std::array<std::uint32_t, 4> playerAccount{};
    std::uint8_t playerRank = 0;                    // 0..17
    std::int32_t pointsSP = 0, pointsMP = 0;
    std::array<std::uint8_t, kPlaneIdCount> planeUnlocked{};
    std::array<std::uint8_t, kCampaignCount> campaignAccess{};
    std::array<std::uint8_t, kCampaignCount * kMissionsPerCampaign> campaignProgress{};
    // Best medal per difficulty in byte lanes: 0 normal, 1 hard, 2 easy.
    std::array<std::uint32_t, kCampaignCount * kMissionsPerCampaign> campaignResults{};
    std::uint8_t unlockOnlineMultiplayer = 0, unlockFFA = 0, unlockDTB = 0, unlockSurvivalCoop = 0,
                 unlockFreeFlight = 0, unlockPlanePainting = 0, unlockWeaponChoice = 0,
                 unlockWeaponPack = 0, unlockAcrobaticSmoke = 0, rated = 0;
    std::array<std::uint8_t, kAchievementCount> achievementDone{};
    std::array<std::int32_t, kEventIdCount> eventTalliesSP{}, eventTalliesMP{};
    std::array<std::uint8_t, kTutorialCount> tutorialDone{};
    std::int32_t dogfightIndex = 0;       // 0..19
    std::int32_t dogfightsUnlocked = 0;   // 0..20
    float dogfightSkill = 0.4f;
    std::int32_t dogfightEnemyCount = 2, dogfightMissileEnemies = 0, dogfightParam4 = 1, dogfightParam5 = 1;
    std::array<std::uint8_t, kDogfightCount> dogfightDone{};
    std::array<std::uint8_t, kDogfightCount> dogfightMedals{};  // best medal 0..3
    std::int32_t bestWaveSP = 0, bestWaveMP = 0;
    std::uint8_t profileResetPending = 0;

    // Options and menu choices (saved in the options block).
    std::int32_t languageIndex = -1;  // -1 until chosen, else 0..9
    std::uint8_t soundOn = 1, musicOn = 1;
    float soundVolume = 0.7f, musicVolume = 0.7f;  // 0..1
    // 0 or 1; 2 = not chosen yet. While a tutorial forces it, this holds the
    // forced value and save() writes the player's own.
    std::int32_t controlType = 2;
    std::int32_t controlDevice = 0;  // 0 keyboard, 1 joystick, 2 mouse
    float keyboardSensitivity = 1.0f, joystickSensitivity = 1.0f, mouseSensitivity = 1.0f;
    std::uint8_t flipControls = 0, invertPitch = 0, metricUnits = 0, aimAssist = 1, markerDetails = 1;
    std::uint8_t flightHintEnabled = 1;  // may be forced like controlType
    std::uint8_t tutorialPromptAnswered = 0;
    std::uint8_t achievementNameVariant = 0;  // non-zero picks pop-up text 278 over 277
    std::int32_t chosenViewMode = 0;
    std::uint8_t localPlaneId = 0;
    std::uint8_t savedDifficulty = 1;  // 0 easy, 1 normal, 2 hard
    std::int32_t skirmishType = 2;
    std::int32_t skirmishMap = -1;    // negative: next map in rotation
    std::int32_t skirmishOption = 10; // time limit in minutes
    float aiSkill = 0.7f;             // 0.2..1.0
    float sunValue = 0.5f;            // free-flight time of day, 0.04..0.96
    std::array<std::uint32_t, kSkirmishConfigWords> skirmishConfig{};
    std::array<std::int32_t, 3> weaponLoadout{-1, -1, -1};  // weapon ids, -1 = the plane's own
    std::array<PlanePaint, kPlaneIdCount> planePaintTable{};
    std::array<std::u16string, kChatPresetCount> chatPresets;  // at most 19 units each
    // The text a chat slot has until the player writes one of their own.
    static std::u16string defaultChatPreset(int index);
    std::u16string defaultRoomName = u"Galeborn";
    std::int32_t countdownSkip = 0;
    float focusSwitchDelay = 3.0f;  // seconds

    // Runtime values beside the record, never saved.
    std::array<PlanePaint, kPlaneIdCount> defaultPaintTable{};  // each plane's factory colors
    std::uint8_t currentPlaneId = 0;
    std::uint8_t settingsChanged = 0;  // set by the HUD, cleared by the menu screen

    // Reads "tq2_settings.bin" from the save folder. A block whose check
    // fails, a wrong magic, a truncated or missing file keep what is in memory
    // (the defaults at the first load); a value out of range keeps its current
    // value. False when nothing was read.
    [[nodiscard]] bool load();
    // Writes both blocks atomically; a failure leaves the old file, is logged
    // and gives false.
    bool save() const;
    // Reads a pending "tq2_settings.tmp" over the record, saves, and removes
    // it once saved (a settings file left alone keeps it for a later start).
    void loadTmpFile();
    // The profile block back to its defaults; options stay.
    void resetPlayerProfile();
    // True when the save folder holds a settings file, readable or not.
    static bool fileSaved();
    // A first start names the pilot after the account: control characters
    // dropped, cut to the profile page's 19 units; nothing left keeps the name.
    void nameAfterAccount(std::u16string_view accountName);
    // Clamps the saved selections to their lists: planeIds are the ids of the
    // loaded plane list (empty: not checked), mapCount the skirmish maps
    // (negative: not checked). A controlType other than 0, 1 and 2 (not
    // chosen yet) becomes 0.
    void sanitize(std::span<const int> planeIds = {}, int mapCount = -1);
    // Game types 2 to 5 copy words 0 and 1 of the host entry into their entry
    // and clear the next word (and for 3 to 5 the one after); others do nothing.
    void setModeOptionPair(int gameType);
    // kind 1 writes lane 0, kind 2 lane 1, kind 0 lane 2: the lane is cleared,
    // then value is OR-ed in. Other kinds or indices change nothing.
    void recordMissionResultFlag(int kind, int campaign, int mission, std::uint8_t value);

    // The tutorials force these; save() keeps writing the player's own values
    // until endForcedValues() puts them back.
    void forceControlType(std::int32_t value);
    void forceFlightHint(std::uint8_t value);
    void endForcedValues();
    std::int32_t playerControlType() const { return m_forcingControlType ? m_ownControlType : controlType; }
    // The player's own choice; while a tutorial forces another it waits for the tutorial's end.
    void setPlayerControlType(std::int32_t value);
    std::uint8_t playerFlightHint() const { return m_forcingFlightHint ? m_ownFlightHint : flightHintEnabled; }

    // Checked table access.
    std::uint8_t campaignProgressAt(int campaign, int mission) const;
    void setCampaignProgress(int campaign, int mission, std::uint8_t value);
    std::uint32_t campaignResultAt(int campaign, int mission) const;
    std::uint8_t campaignAccessAt(int campaign) const;
    void setCampaignAccess(int campaign, std::uint8_t value);
    std::uint8_t planeUnlockedAt(int planeId) const;
    void setPlaneUnlocked(int planeId, std::uint8_t value);
    std::uint8_t achievementDoneAt(int index) const;
    void setAchievementDone(int index, std::uint8_t value);
    std::int32_t eventTallyAt(bool network, int eventId) const;
    void setEventTally(bool network, int eventId, std::int32_t value);
    std::uint8_t tutorialDoneAt(int index) const;
    void setTutorialDone(int index, std::uint8_t value);
    std::uint8_t dogfightDoneAt(int index) const;
    void setDogfightDone(int index, std::uint8_t value);
    std::uint8_t dogfightMedalAt(int index) const;
    void setDogfightMedal(int index, std::uint8_t value);
    // The plane's paint row; the first row for an id out of range (never written).
    const PlanePaint& paintAt(int planeId) const;
    void setPaint(int planeId, const PlanePaint& paint);
    std::uint32_t skirmishWord(int entry, int word) const;
    void setSkirmishWord(int entry, int word, std::uint32_t value);
    float skirmishFloat(int entry, int word) const;
    void setSkirmishFloat(int entry, int word, float value);

    // The file image; decode() applies each block that reads back valid and
    // returns how many did. Used by load() and by the tests.
    std::vector<std::uint8_t> encode() const;
    int decode(std::span<const std::uint8_t> bytes);

private:
    void setProfileDefaults();
    void setSkirmishDefaults();
    [[nodiscard]] bool loadFromSaveFolder(const char* name);

    bool m_forcingControlType = false, m_forcingFlightHint = false;
    std::int32_t m_ownControlType = 2;
    std::uint8_t m_ownFlightHint = 1;
};

// The one settings record of the game.
Settings& settings();
