#include "ProgressFixture.h"

#include "modes/progress/UnlocksMgr.h"
#include "platform/Analytics.h"
#include "platform/Text.h"

#include <string>
#include <vector>

namespace {
struct Notice {
    std::string plane;
    UnlockItemType type;
    UnlockEventType event;
    std::string message;
};

struct RecordingListener final : IUnlockListener {
    std::vector<Notice> notices;
    void onItemUnlocked(const UnlockItem& item, UnlockEventType event, const std::string& message) override
    {
        notices.push_back({item.parameterString, item.type(), event, message});
    }
};

bool loadText(UnlocksMgr& manager, const std::string& text)
{
    FileBuffer file(std::vector<std::uint8_t>(text.begin(), text.end()));
    file.setName("specific_info.cfg");
    return manager.load(file);
}

const char* const kRules = R"(
UnlockMgr {
    events [
        UnlockEvent { eventType ET_RANK parameterInt1 5 unlockMessageStringID "UNLOCK_NEW_PLANE"
                      items [ UnlockItem { itemType IT_PLANE parameterString "zero" } ] }
        UnlockEvent { eventType 10 parameterInt1 3
                      items [ UnlockItem { itemType 1 parameterString "zero" } UnlockItem { itemType IT_FFA } ] }
        UnlockEvent { eventType ET_DOGFIGHT parameterInt1 2 silent true
                      items [ UnlockItem { itemType IT_DTB } ] }
        UnlockEvent { eventType ET_SURVIVAL_WAVE parameterInt1 4
                      items [ UnlockItem { itemType IT_FREEFLIGHT silent true }
                              UnlockItem { itemType IT_PLANE parameterString "f4" } ] }
        UnlockEvent { eventType ET_CAMPAIGN_MISSION_WIN parameterInt1 1 parameterInt2 4
                      items [ UnlockItem { itemType IT_CAMPAIGN_ACCESS parameterInt1 2 }
                              UnlockItem { itemType IT_CAMPAIGN_ACCESS parameterInt1 -1 }
                              UnlockItem { itemType IT_CAMPAIGN_ACCESS parameterInt1 3 }
                              UnlockItem { itemType IT_PLANE parameterString "no_such_plane" }
                              UnlockItem { itemType 42 }
                              UnlockItem { } ] }
        UnlockEvent { eventType ET_START }
    ]
}
)";

struct Unlocks : StagedProgress {
    UnlocksMgr manager{profile, planes};
    RecordingListener listener;
    int zero = -1, f4 = -1;

    void SetUp() override
    {
        StagedProgress::SetUp();
        ASSERT_TRUE(loadText(manager, kRules));
        manager.setListener(&listener);
        zero = planes.idByName("zero");
        f4 = planes.idByName("f4");
        ASSERT_GE(zero, 0);
        ASSERT_GE(f4, 0);
    }
};
}  // namespace

TEST_F(Unlocks, RecordsReadByNamesAndByNumbers)
{
    ASSERT_EQ(manager.events().count(), 6);
    const UnlockEvent& byNumber = *manager.events().at(1);
    EXPECT_EQ(byNumber.type(), UnlockEventType::Achievement);
    EXPECT_EQ(byNumber.items.at(0)->type(), UnlockItemType::Plane);
    const UnlockEvent& empty = *manager.events().at(5);
    EXPECT_EQ(empty.parameterInt1, -1);
    EXPECT_EQ(empty.items.count(), 0);
    EXPECT_EQ(manager.events().at(4)->items.at(5)->type(), UnlockItemType::None);
}

TEST_F(Unlocks, UnknownMemberRefusesTheWholeFile)
{
    EXPECT_FALSE(loadText(manager, R"(UnlockMgr { events [
        UnlockEvent { eventType ET_RANK parameterInt1 0 items [ UnlockItem { itemType IT_FFA } ] }
        UnlockEvent { eventType ET_RANK colour 3 } ] })"));
    EXPECT_EQ(manager.events().count(), 0);
    manager.onRank(10);
    EXPECT_EQ(profile.unlockFFA, 0);
}

TEST_F(Unlocks, RankRuleFiresAgainSilently)
{
    manager.onRank(4);
    EXPECT_EQ(profile.planeUnlockedAt(zero), 0);
    manager.onRank(5);
    EXPECT_EQ(profile.planeUnlockedAt(zero), 1);
    ASSERT_EQ(listener.notices.size(), 1u);
    EXPECT_EQ(listener.notices[0].plane, "zero");
    EXPECT_EQ(listener.notices[0].event, UnlockEventType::Rank);
    EXPECT_EQ(listener.notices[0].message, "UNLOCK_NEW_PLANE");
    ASSERT_EQ(manager.recent().size(), 1u);

    manager.onRank(6);
    manager.onRank(17);
    EXPECT_EQ(listener.notices.size(), 1u);
    EXPECT_EQ(manager.recent().size(), 1u);
}

TEST_F(Unlocks, SilentRulesAndItemsAreNotAnnounced)
{
    manager.onDogfight(3);
    EXPECT_EQ(profile.unlockDTB, 1);
    manager.onSurvivalWave(4);
    EXPECT_EQ(profile.unlockFreeFlight, 1);
    EXPECT_EQ(profile.planeUnlockedAt(f4), 1);
    ASSERT_EQ(listener.notices.size(), 1u);
    EXPECT_EQ(listener.notices[0].plane, "f4");
    EXPECT_EQ(manager.recent().size(), 1u);
}

TEST_F(Unlocks, AlreadyUnlockedReturnsFalse)
{
    const UnlockItem& zeroItem = *manager.events().at(0)->items.at(0);
    EXPECT_TRUE(manager.applyItem(zeroItem, UnlockEventType::Rank, false, ""));
    EXPECT_FALSE(manager.applyItem(zeroItem, UnlockEventType::Rank, false, ""));
    EXPECT_EQ(listener.notices.size(), 1u);
}

// Only a plane the rule really unlocks reaches the analytics, silent or not.
TEST_F(Unlocks, ANewlyUnlockedPlaneHandsItsIdToTheAnalytics)
{
    const UnlockItem& zeroItem = *manager.events().at(0)->items.at(0);
    Analytics::clearEventParams();
    manager.applyItem(zeroItem, UnlockEventType::Rank, true, "");
    EXPECT_EQ(Analytics::eventParams(), "UNLOCKED_PLANE=" + std::to_string(zero));
    Analytics::clearEventParams();
    manager.applyItem(zeroItem, UnlockEventType::Rank, false, "");
    manager.onCampaignMissionWin(1, 4);  // an unknown plane and other kinds of item
    EXPECT_EQ(Analytics::eventParams(), "");
    manager.onSurvivalWave(4);
    EXPECT_EQ(Analytics::eventParams(), "UNLOCKED_PLANE=" + std::to_string(f4));
}

TEST_F(Unlocks, BadIndicesChangeNothing)
{
    const Settings before = profile;
    manager.onCampaignMissionWin(1, 3);
    EXPECT_EQ(profile.encode(), before.encode());
    manager.onCampaignMissionWin(1, 4);
    EXPECT_EQ(profile.campaignAccessAt(2), 1);
    EXPECT_EQ(profile.campaignProgressAt(2, 0), 1);
    // Only campaign 2 changed: -1, 3, an unknown plane and type 42 did nothing.
    Settings expected = before;
    expected.setCampaignAccess(2, 1);
    expected.setCampaignProgress(2, 0, 1);
    EXPECT_EQ(profile.encode(), expected.encode());
    EXPECT_EQ(listener.notices.size(), 1u);
}

TEST_F(Unlocks, AchievementRulesMatchTheirIndex)
{
    manager.onAchievement(2);
    EXPECT_EQ(profile.unlockFFA, 0);
    manager.onAchievement(3);
    EXPECT_EQ(profile.unlockFFA, 1);
    EXPECT_EQ(profile.planeUnlockedAt(zero), 1);
}

TEST_F(Unlocks, PlaneDescriptionHasOneLinePerRule)
{
    const std::u16string text = manager.describePlaneUnlock(zero);
    // The rank line, then the achievement line ("Ace" is achievement 3).
    const std::u16string rank = getStringByIndex(143);
    const std::size_t rankAt = text.find(rank);
    const std::size_t achievementAt = text.find(getStringByIndex(253));
    ASSERT_NE(rankAt, std::u16string::npos) << toNarrowTemp(text.c_str());
    ASSERT_NE(achievementAt, std::u16string::npos) << toNarrowTemp(text.c_str());
    EXPECT_LT(rankAt, achievementAt);
    EXPECT_LT(text.size(), UnlocksMgr::kDescriptionUnits);
    EXPECT_TRUE(manager.describePlaneUnlock(planes.idByName("p51")).empty());
}

TEST_F(Unlocks, PlaneDescriptionStaysBelow512Units)
{
    std::string many = "UnlockMgr { events [";
    for (int i = 0; i < 60; ++i)
        many += "UnlockEvent { eventType ET_RANK parameterInt1 " + std::to_string(i % 18) +
                " items [ UnlockItem { itemType IT_PLANE parameterString \"zero\" } ] }";
    // An achievement index without an object or out of range gives no line.
    many += "UnlockEvent { eventType ET_ACHIEVEMENT parameterInt1 40 items [ UnlockItem { itemType IT_PLANE "
            "parameterString \"f4\" } ] }";
    many += "UnlockEvent { eventType ET_ACHIEVEMENT parameterInt1 100 items [ UnlockItem { itemType IT_PLANE "
            "parameterString \"f4\" } ] }";
    many += "] }";
    ASSERT_TRUE(loadText(manager, many));
    const std::u16string text = manager.describePlaneUnlock(zero);
    EXPECT_GT(text.size(), 400u);
    EXPECT_LT(text.size(), UnlocksMgr::kDescriptionUnits);
    EXPECT_TRUE(manager.describePlaneUnlock(f4).empty());
}

TEST_F(Unlocks, MenuLoadReplayIsSilentAndSaves)
{
    profile.playerRank = 5;
    profile.dogfightsUnlocked = 2;
    profile.setAchievementDone(3, 1);
    manager.replayProgress();
    EXPECT_EQ(manager.listener(), nullptr);
    EXPECT_TRUE(listener.notices.empty());
    EXPECT_EQ(profile.planeUnlockedAt(zero), 1);
    EXPECT_EQ(profile.unlockFFA, 1);
    EXPECT_EQ(profile.unlockDTB, 1);
    std::vector<std::uint8_t> saved;
    ASSERT_TRUE(readSaveFile(Settings::kFileName, Settings::kMaxFileBytes, saved));
    Settings reread;
    EXPECT_EQ(reread.decode(saved), 2);
    EXPECT_EQ(reread.planeUnlockedAt(zero), 1);
}

// The game's own rules: every plane they name is a plane of the list, and
// every notice key a text of the English table.
TEST_F(StagedProgress, StagedUnlockFileResolvesEveryPlane)
{
    UnlocksMgr manager{profile, planes};
    auto file = openFile(UnlocksMgr::kFileName);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(manager.load(*file));
    ASSERT_GT(manager.events().count(), 5);
    int planeItems = 0;
    for (int i = 0; i < manager.events().count(); ++i) {
        const UnlockEvent& rule = *manager.events().at(i);
        if (!rule.unlockMessageStringID.empty()) {
            EXPECT_GE(english.findId(rule.unlockMessageStringID), 0) << rule.unlockMessageStringID;
        }
        for (int k = 0; k < rule.items.count(); ++k) {
            const UnlockItem& item = *rule.items.at(k);
            EXPECT_GE(static_cast<int>(item.type()), 1) << "rule " << i;
            EXPECT_LE(static_cast<int>(item.type()), 11) << "rule " << i;
            if (item.type() != UnlockItemType::Plane)
                continue;
            ++planeItems;
            EXPECT_GE(planes.idByName(item.parameterString), 0) << item.parameterString;
        }
    }
    EXPECT_GT(planeItems, 10);
    // Every plane that does not start unlocked has a way to be unlocked.
    manager.fireEvent(UnlockEventType::Start);
    for (int i = 0; i < planes.count(); ++i) {
        const int id = planes.at(i)->plane_id;
        if (!profile.planeUnlockedAt(id)) {
            EXPECT_FALSE(manager.describePlaneUnlock(id).empty()) << planes.at(i)->name;
        }
    }
}

TEST_F(Unlocks, RateAppliesOnlyTheFirstRateRule)
{
    manager.onRate();
    EXPECT_EQ(profile.rated, 0) << "no rate rule: nothing happens";
    ASSERT_TRUE(loadText(manager, R"(UnlockMgr { events [
        UnlockEvent { eventType ET_RATE items [ UnlockItem { itemType IT_WEAPON_PACK1 } ] }
        UnlockEvent { eventType ET_RATE items [ UnlockItem { itemType IT_ACROBATIC_SMOKE } ] } ] })"));
    manager.onRate();
    EXPECT_EQ(profile.rated, 1);
    EXPECT_EQ(profile.unlockWeaponPack, 1);
    EXPECT_EQ(profile.unlockAcrobaticSmoke, 0);
    std::vector<std::uint8_t> saved;
    ASSERT_TRUE(readSaveFile(Settings::kFileName, Settings::kMaxFileBytes, saved));
    Settings reread;
    ASSERT_EQ(reread.decode(saved), 2);
    EXPECT_EQ(reread.rated, 1);
    EXPECT_EQ(reread.unlockWeaponPack, 1);
}
