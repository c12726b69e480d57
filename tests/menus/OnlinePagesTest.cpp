#include "MenusTestSupport.h"
#include "StagedMenuData.h"

#include "StandInRoomServer.h"
#include "support/net/PacedRoomConfig.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/multiplayer/MPCreateOnlineMenuFrame.h"
#include "menus/multiplayer/MPOnlineFiltersMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "menus/multiplayer/RoomEntry.h"
#include "modes/GameModeGlobals.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Room {
    unsigned number = 1;
    int mode = 2;
    int map = 0;
    std::uint32_t hostRank = 0;
    int players = 1, most = 8;
    const char* name = "room";
    int planeKind = 0, planeValue = 0, filter = 0;
};

Bytes entry(const Room& r)
{
    Bytes b(RoomEntry::kSize, 0);
    put16(b, 0, 14);
    put16(b, 2, r.number);
    b[4] = static_cast<std::uint8_t>(r.players);
    b[5] = static_cast<std::uint8_t>(r.most);
    std::memcpy(&b[7], r.name, std::min<std::size_t>(std::strlen(r.name), 33));
    put16(b, 41, 110);
    b[43 + 0x40] = static_cast<std::uint8_t>(r.mode);
    b[43 + 0x41] = static_cast<std::uint8_t>(r.map);
    b[43 + 0x42] = static_cast<std::uint8_t>(r.most);
    put32(b, 43 + 0x4D, static_cast<std::uint32_t>(r.planeKind));
    put32(b, 43 + 0x51, static_cast<std::uint32_t>(r.planeValue));
    b[43 + 0x56] = static_cast<std::uint8_t>(r.filter);
    put32(b, 299, r.hostRank);
    return b;
}

// The staged data: English texts, the plane list and the map lists.
void mountStagedData() { mountStagedMenuData(); }

struct OnlinePages : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        MenuFrameRegistry::deleteAll();  // pages an earlier test built at another size
        mountStagedData();
        ASSERT_TRUE(MapLists::instance().load());
        settings().playerRank = 5;
        gameChoices() = GameChoices{};
        frontendLinks().multiPlayer = [this] { return &multiplayer; };
        MultiPlayerMenuFrameOnline::gameStarter() = [this](int type, int map) { started.push_back({type, map}); };
    }
    void TearDown() override
    {
        if (MenuAlert* alert = MenuAlert::existing())
            alert->closed = true;
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        frontendLinks().multiPlayer = nullptr;
        MultiPlayerMenuFrameOnline::gameStarter() = nullptr;
        MapLists::instance().clear();
        PageTest::TearDown();
    }
    MultiPlayerMenuFrameOnline& page() { return *MenuFrameRegistry::onlineMenu(); }
    std::vector<std::int64_t> hostRanks()
    {
        std::vector<std::int64_t> out;
        for (auto* row : page().rows())
            out.push_back(row->room.hostRank());
        return out;
    }
    void announceRanks(std::vector<std::uint32_t> ranks)
    {
        std::shuffle(ranks.begin(), ranks.end(), std::mt19937(7));
        unsigned number = 1;
        for (std::uint32_t rank : ranks) {
            Room r;
            r.number = number++;
            r.hostRank = rank;
            page().onRoomEntry(entry(r).data());
        }
        page().update();
    }
    static std::u16string alertText()
    {
        MenuAlert* alert = MenuAlert::existing();
        std::u16string text = alert && !alert->closed ? std::u16string(alert->textLabel->shownText()) : std::u16string();
        // Wrapped only where an earlier test left fonts loaded.
        std::replace(text.begin(), text.end(), u'\n', u' ');
        return text;
    }
    static void closeAlert()
    {
        if (MenuAlert* alert = MenuAlert::existing())
            alert->closed = true;
    }

    FilledMenuFrame multiplayer;
    std::vector<std::pair<int, int>> started;
};

std::vector<std::int64_t> range(int from, int to)
{
    std::vector<std::int64_t> out;
    for (int i = from; from <= to ? i <= to : i >= to; i += from <= to ? 1 : -1)
        out.push_back(i);
    return out;
}
std::vector<std::uint32_t> allRanks()
{
    std::vector<std::uint32_t> out;
    for (std::uint32_t r = 0; r <= 17; ++r)
        out.push_back(r);
    return out;
}
}  // namespace

TEST(RoomBrackets, DistancesFollowTheSharedBrackets)
{
    EXPECT_EQ(bracketDistance(5, 0), 0);   // 4-5 share bracket 0 with 0-3
    EXPECT_EQ(bracketDistance(5, 9), 0);   // and bracket 1 with 7-9
    EXPECT_EQ(bracketDistance(5, 10), 2);
    EXPECT_EQ(bracketDistance(12, 6), -1);
    EXPECT_EQ(bracketDistance(12, 3), -2);
    EXPECT_EQ(bracketDistance(0, 6), 1);
    // Stray ranks sit in a bracket of their own, far above every rank.
    EXPECT_EQ(bracketDistance(0, 40), 3);
    EXPECT_EQ(bracketDistance(40, 40), 0);
    EXPECT_EQ(bracketSortKey(-2), 102);
    EXPECT_TRUE(roomFollows(101, 6, 102, 5) == false);
}

TEST_F(OnlinePages, Rank5ListsRanksUpToNineThenTheRestAscending)
{
    settings().playerRank = 5;
    announceRanks(allRanks());
    std::vector<std::int64_t> want = range(0, 9);
    for (std::int64_t r : range(10, 17))
        want.push_back(r);
    EXPECT_EQ(hostRanks(), want);
}

TEST_F(OnlinePages, Rank12ListsHigherBracketsThenLowerOnesFarthestLast)
{
    settings().playerRank = 12;
    announceRanks(allRanks());
    std::vector<std::int64_t> want = range(7, 17);
    want.push_back(6);
    for (std::int64_t r : range(5, 0))
        want.push_back(r);
    EXPECT_EQ(hostRanks(), want);
}

TEST_F(OnlinePages, ARepeatedRoomNumberKeepsOneRowWithTheLaterDataUnsorted)
{
    settings().playerRank = 0;
    Room a{.number = 1, .hostRank = 2}, b{.number = 2, .hostRank = 3};
    page().onRoomEntry(entry(a).data());
    page().onRoomEntry(entry(b).data());
    page().update();
    ASSERT_EQ(hostRanks(), (std::vector<std::int64_t>{2, 3}));
    // Room 2 now has a lower host: a sort would move it first.
    b.hostRank = 1;
    b.players = 5;
    page().onRoomEntry(entry(b).data());
    page().update();
    ASSERT_EQ(page().rows().size(), 2u);
    EXPECT_EQ(hostRanks(), (std::vector<std::int64_t>{2, 1}));
    EXPECT_EQ(page().rows()[1]->room.players(), 5);
    EXPECT_FALSE(page().listDirty);
}

TEST_F(OnlinePages, EveryEntryIsCheckedAndABadUpdateRemovesItsRow)
{
    const int maps = MapLists::instance().countNonCampaign();
    Room good{.number = 4, .mode = 13};
    Bytes shortDescription = entry({.number = 5});
    put16(shortDescription, 41, 100);
    page().onRoomEntry(shortDescription.data());
    page().onRoomEntry(entry({.number = 6, .map = maps}).data());
    page().onRoomEntry(entry({.number = 7, .mode = 9}).data());
    page().onRoomEntry(entry({.number = 8, .mode = 12}).data());
    EXPECT_TRUE(page().rows().empty());
    EXPECT_TRUE(page().emptyNotice->visible);

    page().onRoomEntry(entry(good).data());
    ASSERT_EQ(page().rows().size(), 1u);
    EXPECT_FALSE(page().emptyNotice->visible);
    page().openDetails(*page().rows()[0]);
    ASSERT_TRUE(page().detailsOpen());
    // The same room, now naming a map the game lacks: gone, lobby closed, nothing dangles.
    good.map = 200;
    page().onRoomEntry(entry(good).data());
    EXPECT_TRUE(page().rows().empty());
    EXPECT_FALSE(page().detailsOpen());
    EXPECT_EQ(page().selectedRoom, nullptr);
    EXPECT_TRUE(page().emptyNotice->visible);
}

TEST_F(OnlinePages, AFloodOfRoomsStopsAtTheListsLimit)
{
    for (unsigned n = 1; n <= 300; ++n)
        page().onRoomEntry(entry({.number = n, .hostRank = n % 18}).data());
    EXPECT_EQ(page().rows().size(), 256u);
    // Rooms already listed still take their updates.
    page().onRoomEntry(entry({.number = 7, .players = 6}).data());
    EXPECT_EQ(page().findRow(7)->room.players(), 6);
    EXPECT_EQ(page().findRow(290), nullptr);
}

TEST_F(OnlinePages, TheLobbyShowsTheRoomAndBackReturnsToTheList)
{
    goToFrame(&multiplayer);
    goToFrame(&page());
    page().connectDelay = 0;
    page().onRoomEntry(entry({.number = 3, .mode = 6, .hostRank = 5, .players = 2, .most = 4, .name = "Dusk patrol",
                              .planeKind = 3, .planeValue = 1, .filter = 2})
                           .data());
    auto* row = page().rows().at(0);
    page().openDetails(*row);
    EXPECT_TRUE(page().detailsOpen());
    EXPECT_FALSE(page().content()->visible);
    EXPECT_FALSE(page().refreshButton->visible);
    EXPECT_TRUE(page().waitingLabel->visible);
    EXPECT_EQ(page().roomTitle->shownText(), u"Dusk patrol - " + getStringByIndex(881));
    EXPECT_EQ(page().playersValue->shownText(), u"2/4");
    EXPECT_FALSE(page().timeValue->visible);  // survival has no match time
    EXPECT_TRUE(page().filterValue->visible);
    EXPECT_TRUE(page().planeLine->visible);
    EXPECT_EQ(page().bracketIcon->frame, 259);
    // The card says the excluded tier as the lobby does, in the player's language.
    EXPECT_EQ(row->planeText, page().planeLine->shownText());
    EXPECT_NE(row->planeText.find(tierName(1)), std::u16string::npos);
    // Back closes the lobby, not the page.
    page().onBack();
    EXPECT_FALSE(page().detailsOpen());
    EXPECT_TRUE(page().content()->visible);
    EXPECT_EQ(currentFrame(), &page());

    // "No special aircraft": the last tier, named on the card and in the lobby.
    const int special = PlaneList::instance().tierCount() - 1;
    ASSERT_EQ(special, 3);
    page().onRoomEntry(entry({.number = 4, .name = "No strangers", .planeKind = 3, .planeValue = special}).data());
    page().openDetails(*page().findRow(4));
    EXPECT_TRUE(page().planeLine->visible);
    EXPECT_NE(page().planeLine->shownText().find(tierName(special)), std::u16string::npos);
    EXPECT_EQ(page().findRow(4)->planeText, page().planeLine->shownText());
    page().onBack();
    // A room with no rule, then one with a tier this game lacks: neither keeps the line shown before.
    for (int kind : {0, 3}) {
        page().onRoomEntry(
            entry({.number = static_cast<unsigned>(5 + kind), .planeKind = kind, .planeValue = kind ? 9 : 0}).data());
        page().openDetails(*page().findRow(5 + kind));
        EXPECT_FALSE(page().planeLine->visible) << kind;
        EXPECT_TRUE(page().findRow(5 + kind)->planeText.empty()) << kind;
        page().openDetails(*page().findRow(4));
        EXPECT_TRUE(page().planeLine->visible);
        page().onBack();
    }
}

TEST_F(OnlinePages, APlayerListIsBoundedHeldToRangeAndCountedIntoTheRoom)
{
    page().onRoomEntry(entry({.number = 3, .players = 1, .most = 8}).data());
    page().openDetails(*page().rows().at(0));
    Bytes list(311 + 40, 0);
    put16(list, 0, 31);
    list[38] = 12;  // more players than rows
    for (int i = 0; i < 8; ++i) {
        put16(list, 6 + 2 * static_cast<std::size_t>(i), i == 0 ? 40u : static_cast<unsigned>(i));
        list[39 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i == 7 ? 250 : 0);
    }
    const char* longName = "Wingcommander_of_the_north";
    std::memcpy(&list[311], longName, std::strlen(longName));
    // The last bytes: a name without its zero at the message's end.
    std::memset(&list[311 + 30], 'z', 10);
    page().onRoomInfo(list.data(), list.size());
    EXPECT_FALSE(page().waitingLabel->visible);
    for (auto* row : page().playerRows)
        EXPECT_TRUE(row->visible);
    EXPECT_EQ(page().playerRows[0]->rank, 17);
    EXPECT_EQ(page().playerRows[0]->name, u"Wingcomman...");
    EXPECT_EQ(page().playerRows[7]->name, u"");  // its name lies past the message
    EXPECT_EQ(page().playersValue->shownText(), u"8/8");
    EXPECT_EQ(page().rows()[0]->room.players(), 8);
    // A message cut before its count shows nobody.
    page().openDetails(*page().rows().at(0));
    page().onRoomInfo(list.data(), 20);
    for (auto* row : page().playerRows)
        EXPECT_FALSE(row->visible);
}

TEST_F(OnlinePages, ATypedNameWinsAndAnEmptyOneChangesNothing)
{
    page().onRoomEntry(entry({.number = 9}).data());
    page().openDetails(*page().rows().at(0));
    page().onTextAccepted(u"");
    EXPECT_EQ(page().joinDelay, 0);
    EXPECT_TRUE(page().detailsOpen());
    EXPECT_NE(page().selectedInfo, nullptr);

    page().onTextAccepted(u"Night \u4e00wl over the bay, the longest name we know");
    EXPECT_EQ(page().joinName, "Night  wl over the bay, the lon");
    EXPECT_EQ(page().joinDelay, 2);
    EXPECT_EQ(page().selectedInfo, nullptr);
    EXPECT_FALSE(page().detailsOpen());
    EXPECT_TRUE(page().busyOverlay->visible);

    page().onTextCancelled(u"x");
    EXPECT_TRUE(page().joinName.empty());
}

TEST_F(OnlinePages, AMaximumOfTwoMakesADuel)
{
    page().onRoomEntry(entry({.number = 1, .most = 2}).data());
    page().onRoomEntry(entry({.number = 2, .most = 8}).data());
    auto* duel = page().findRow(1);
    page().openDetails(*duel);
    page().joinShownRoom();
    EXPECT_EQ(gameChoices().duelMatch, 1);
    EXPECT_EQ(page().joinDelay, 2);
    page().openDetails(*page().findRow(2));
    page().joinShownRoom();
    EXPECT_EQ(gameChoices().duelMatch, 0);
}

TEST_F(OnlinePages, ThePlaneAlertsSendNothing)
{
    const PlaneList& planes = PlaneList::instance();
    ASSERT_GE(planes.count(), 2);
    ASSERT_GE(planes.tierCount(), 2);
    const PlaneCfg* mine = planes.at(0);
    settings().localPlaneId = static_cast<std::uint8_t>(mine->plane_id);
    // A plane of another family and another tier.
    const PlaneCfg* other = nullptr;
    for (int i = 0; i < planes.count() && !other; ++i)
        if (planes.at(i)->file != mine->file && planes.at(i)->plane_tier != mine->plane_tier)
            other = planes.at(i);
    ASSERT_NE(other, nullptr);
    const auto attempt = [&](int kind, int value) {
        closeAlert();
        page().onRoomEntry(entry({.number = 1, .planeKind = kind, .planeValue = value}).data());
        page().openDetails(*page().findRow(1));
        page().joinDelay = 0;
        page().joinShownRoom();
        EXPECT_EQ(page().joinDelay, 0) << kind << " " << value;
        EXPECT_FALSE(page().busyOverlay->visible);
        return alertText();
    };
    EXPECT_NE(attempt(2, other->plane_tier).find(tierName(other->plane_tier)), std::u16string::npos);
    EXPECT_NE(attempt(3, mine->plane_tier).find(tierName(mine->plane_tier)), std::u16string::npos);
    EXPECT_EQ(attempt(1, 250), getStringByIndex(1206));
    settings().setPlaneUnlocked(other->plane_id, 0);
    EXPECT_NE(attempt(1, other->plane_id).find(getStringByIndex(1205).substr(0, 10)), std::u16string::npos);
    settings().setPlaneUnlocked(other->plane_id, 1);
    const std::u16string needs = attempt(1, other->plane_id);
    EXPECT_NE(needs.find(toWideTemp(other->shortname.c_str())), std::u16string::npos);
    EXPECT_EQ(needs.find(u"not unlocked"), std::u16string::npos);
    // "No special aircraft" turns the special craft away.
    const PlaneCfg* special = nullptr;
    for (int i = 0; i < planes.count(); ++i)
        if (planes.at(i)->plane_tier == 3)
            special = planes.at(i);
    ASSERT_NE(special, nullptr);
    settings().localPlaneId = static_cast<std::uint8_t>(special->plane_id);
    EXPECT_NE(attempt(3, 3).find(tierName(3)), std::u16string::npos);
    settings().localPlaneId = static_cast<std::uint8_t>(mine->plane_id);
    // The rule met: the join goes ahead.
    closeAlert();
    page().onRoomEntry(entry({.number = 1, .planeKind = 2, .planeValue = mine->plane_tier}).data());
    page().openDetails(*page().findRow(1));
    page().joinShownRoom();
    EXPECT_EQ(page().joinDelay, 2);
    EXPECT_TRUE(alertText().empty());
    // "No special aircraft" lets the P-51 in.
    page().onRoomEntry(entry({.number = 2, .planeKind = 3, .planeValue = 3}).data());
    page().openDetails(*page().findRow(2));
    page().joinDelay = 0;
    page().joinShownRoom();
    EXPECT_EQ(page().joinDelay, 2);
    EXPECT_TRUE(alertText().empty());
}

TEST_F(OnlinePages, OnlyAJoinOfAKnownMapAndModeStartsAGame)
{
    const int maps = MapLists::instance().countNonCampaign();
    EXPECT_TRUE(MultiPlayerMenuFrameOnline::playableJoin(2, 0));
    EXPECT_TRUE(MultiPlayerMenuFrameOnline::playableJoin(13, maps - 1));
    EXPECT_FALSE(MultiPlayerMenuFrameOnline::playableJoin(2, maps));
    EXPECT_FALSE(MultiPlayerMenuFrameOnline::playableJoin(2, -1));
    EXPECT_FALSE(MultiPlayerMenuFrameOnline::playableJoin(9, 0));   // a tutorial
    EXPECT_FALSE(MultiPlayerMenuFrameOnline::playableJoin(12, 0));  // hosted as 3, never sent
    // No game joined: nothing starts.
    NetworkGameHandler handler;
    EXPECT_FALSE(MultiPlayerMenuFrameOnline::startJoinedGame(handler));
    EXPECT_TRUE(started.empty());
}

// ---- The create page and the filters ----

namespace {
struct OnlineCreate : OnlinePages {
    void SetUp() override
    {
        OnlinePages::SetUp();
        settings().skirmishMap = 2;
        settings().skirmishOption = 15;
        settings().skirmishConfig[Settings::kEntryHost * Settings::kEntryWords + 3] = 7;
    }
    MPCreateOnlineMenuFrame& create() { return *MenuFrameRegistry::mpCreateOnlineMenu(); }
    MPOnlineFiltersMenuFrame& filters() { return *MenuFrameRegistry::mpOnlineFiltersMenu(); }
    const ServerInfo& host(int type)
    {
        settings().skirmishType = type;
        create().hostGame();
        return create().info;
    }
};
}  // namespace

TEST_F(OnlineCreate, TheRoomIsDescribedByteForByte)
{
    create().nameBox->setText(u"A room whose name runs on past thirty-one");
    filters().choose(MPOnlineFiltersMenuFrame::MissilesOnly);
    filters().choose(MPOnlineFiltersMenuFrame::NoTier3);
    const ServerInfo& info = host(4);
    std::array<std::uint8_t, 110> want{};
    const std::u16string name = u"A room whose name runs on past ";
    ASSERT_EQ(name.size(), 31u);
    for (std::size_t i = 0; i < name.size(); ++i)
        want[2 * i] = static_cast<std::uint8_t>(name[i]);
    want[64] = 4;
    want[65] = 2;
    want[66] = 8;
    want[69] = 1;
    want[70] = 15;
    want[71] = 7;
    want[77] = 3;   // no tier 3
    want[81] = 3;
    want[85] = 1;   // teams box checked
    want[86] = 1;   // missiles only
    want[90] = 7;
    want[94] = 456 & 0xFF;
    want[95] = 456 >> 8;
    want[102] = 789456 & 0xFF;
    want[103] = (789456 >> 8) & 0xFF;
    want[104] = 789456 >> 16;
    EXPECT_EQ(info.bytes, want);
    EXPECT_EQ(create().createDelay, 3);
    EXPECT_EQ(settings().defaultRoomName, u"A room whose name runs on past thirty-one");
    // Mode option words copied for the mode played.
    EXPECT_EQ(settings().skirmishConfig[Settings::kEntryCTF * Settings::kEntryWords], 15u);
}

TEST_F(OnlineCreate, TeamFlagsDuelsSurvivalAndLastManStanding)
{
    create().teamBox->checked = true;
    for (int type : {2, 6, 10})
        EXPECT_EQ(host(type).bytes[ServerInfo::TeamFlag], 0) << type;
    EXPECT_EQ(host(13).bytes[ServerInfo::TeamFlag], 1);
    create().teamBox->checked = false;
    EXPECT_EQ(host(3).bytes[ServerInfo::TeamFlag], 0);

    const ServerInfo& duel = host(12);
    EXPECT_EQ(duel.bytes[ServerInfo::GameType], 3);
    EXPECT_EQ(duel.bytes[ServerInfo::MaxPlayers], 2);
    EXPECT_EQ(duel.bytes[67], 3);
    EXPECT_EQ(gameChoices().duelMatch, 1);
    EXPECT_EQ(host(3).bytes[ServerInfo::MaxPlayers], 8);
    EXPECT_EQ(gameChoices().duelMatch, 0);

    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->onlineOption->checked = true;
    EXPECT_EQ(host(13).u32(ServerInfo::OptionFlags), 0x100u);
    EXPECT_EQ(host(5).u32(ServerInfo::OptionFlags), 0u);

    // Survival is opened at once on the next map, for four.
    settings().skirmishMap = 0;
    create().onShow();
    create().createDelay = 0;
    create().onSurvival();
    EXPECT_EQ(create().createDelay, 3);
    EXPECT_EQ(create().info.bytes[ServerInfo::GameType], 6);
    EXPECT_EQ(create().info.bytes[ServerInfo::MaxPlayers], 4);
    EXPECT_EQ(settings().skirmishMap, -1);
}

TEST_F(OnlineCreate, TheRotationIsTheCreatePagesOwn)
{
    const int maps = MapLists::instance().countNonCampaign();
    ASSERT_GE(maps, 2);
    settings().skirmishMap = -1;
    const int playRotation = mapChoice().mapRotation;
    const int first = host(2).bytes[ServerInfo::MapIndex];
    const int second = host(2).bytes[ServerInfo::MapIndex];
    EXPECT_EQ(second, (first + 1) % maps);
    EXPECT_EQ(mapChoice().mapRotation, playRotation);
}

TEST_F(OnlineCreate, TheStoredRoomNameIsCutTo63)
{
    const std::u16string typed(80, u'k');
    create().nameBox->setText(typed);
    create().onHide();
    EXPECT_EQ(settings().defaultRoomName.size(), 63u);
    host(2);
    EXPECT_EQ(create().info.name().size(), 31u);
    EXPECT_EQ(settings().defaultRoomName.size(), 63u);
}

TEST_F(OnlineCreate, FiltersKeepOneBoxAGroupAndReadThePlaneFlownNow)
{
    MPOnlineFiltersMenuFrame& page = filters();
    EXPECT_EQ(page.planeFilterKind, 0);
    EXPECT_EQ(page.modeFilter, 0);
    // A click on the checked box leaves it checked.
    SpriteCheckbox* any = page.boxes[MPOnlineFiltersMenuFrame::AnyPlane];
    any->activate();
    EXPECT_TRUE(any->checked);
    page.boxes[MPOnlineFiltersMenuFrame::GunsOnly]->activate();
    EXPECT_EQ(page.modeFilter, 2);
    EXPECT_FALSE(page.boxes[MPOnlineFiltersMenuFrame::AllWeapons]->checked);
    EXPECT_TRUE(any->checked);  // the other group is untouched

    const PlaneList& planes = PlaneList::instance();
    const PlaneCfg* jet = nullptr;
    for (int i = 0; i < planes.count() && !jet; ++i)
        if (planes.at(i)->plane_tier != planes.at(0)->plane_tier)
            jet = planes.at(i);
    ASSERT_NE(jet, nullptr);
    settings().localPlaneId = static_cast<std::uint8_t>(planes.at(0)->plane_id);
    page.boxes[MPOnlineFiltersMenuFrame::MyTier]->activate();
    EXPECT_FALSE(any->checked);
    // The plane changed in the hangar afterwards: the room gets the new tier.
    settings().localPlaneId = static_cast<std::uint8_t>(jet->plane_id);
    EXPECT_EQ(host(2).u32(ServerInfo::FilterValue), static_cast<std::uint32_t>(jet->plane_tier));
    // A plane the list lacks flies as the first one.
    settings().localPlaneId = 254;
    EXPECT_EQ(host(2).u32(ServerInfo::FilterValue), static_cast<std::uint32_t>(planes.at(0)->plane_tier));
    page.boxes[MPOnlineFiltersMenuFrame::MyPlane]->activate();
    EXPECT_EQ(host(2).u32(ServerInfo::FilterKind), 1u);
    EXPECT_EQ(host(2).u32(ServerInfo::FilterValue), 254u);
    // "No special aircraft" excludes a tier the hangar has.
    page.boxes[MPOnlineFiltersMenuFrame::NoTier3]->activate();
    EXPECT_EQ(host(2).u32(ServerInfo::FilterKind), 3u);
    EXPECT_EQ(host(2).u32(ServerInfo::FilterValue), 3u);
    EXPECT_LT(3, planes.tierCount());
}

TEST_F(OnlineCreate, TheFilterPanelStandsBetweenTwoEmptyBarsAcrossTheScreen)
{
    // The staged fonts give the title and the boxes their real heights; an
    // earlier test may have left the fonts empty or loaded.
    struct StagedFonts {
        StagedFonts() { reloadFonts(); }
        ~StagedFonts() { reloadFonts(); }
    } fonts;
    ASSERT_GT(getFont(2)->lineHeight(), 0);
    MPOnlineFiltersMenuFrame& page = filters();
    const ScreenMetrics& m = screenMetrics();
    for (MenuPanel* bar : {page.topBar, page.bottomBar}) {
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->x, 0);
        EXPECT_EQ(bar->width, m.screenWidth);
        EXPECT_EQ(bar->itemCount(), 0);
        EXPECT_FALSE(bar->enabled) << "an empty bar takes no touch";
    }
    EXPECT_EQ(page.topBar->y, 0);
    EXPECT_EQ(page.bottomBar->y + page.bottomBar->height, m.screenHeight);
    const int freeHeight = page.bottomBar->y - page.topBar->height - page.panel->height;
    EXPECT_EQ(page.panel->y, page.topBar->height + std::max(0, freeHeight / 4));
    EXPECT_LE(page.panel->y + page.panel->height, page.bottomBar->y);
}

// ---- Against the stand-in room server on 127.0.0.1 ----

namespace {
struct OnlineRoomServer : OnlinePages {
    void SetUp() override
    {
        OnlinePages::SetUp();
        StandInRoomServer::Options options;
        options.port = 0;
        options.hostPort = 9;  // nobody hosts: a join stops at connecting to the game
        options.rooms = listedRooms;
        server = std::make_unique<StandInRoomServer>(options);
        ASSERT_TRUE(server->start());
        handler = std::make_unique<NetworkGameHandler>(pacedRoomConfig(*server));
        handler->setRoomEvents(&MultiPlayerMenuFrameOnline::roomEvents());
        settings().playerName = u"Tester";
    }
    void TearDown() override
    {
        handler.reset();
        for (auto& owner : owners)
            owner->leave();
        if (server)
            server->stop();
        OnlinePages::TearDown();
    }
    // A player elsewhere who opened a room.
    void openRoom(const char* name, int mode, int map, std::uint32_t rank)
    {
        auto owner = std::make_unique<RoomClient>(pacedRoomConfig(*server));
        owner->connectAsync("owner", 1, rank);
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             !owner->connected() && std::chrono::steady_clock::now() < end;) {
            owner->poll(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ServerInfo info;
        info.clear();
        info.bytes[ServerInfo::GameType] = static_cast<std::uint8_t>(mode);
        info.bytes[ServerInfo::MapIndex] = static_cast<std::uint8_t>(map);
        info.bytes[ServerInfo::MaxPlayers] = 8;
        ASSERT_EQ(owner->createRoom(info.bytes.data(), 8, 0, name), 0);
        owners.push_back(std::move(owner));
    }
    // Frames of the page until the condition holds (a minute at most: a busy
    // machine only makes it take longer).
    template <typename F>
    bool run(F done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < end) {
            if (MenuFrame* frame = currentFrame())
                frame->update();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }

    std::vector<std::string> listedRooms;  // open from the server's start
    std::unique_ptr<StandInRoomServer> server;
    std::unique_ptr<NetworkGameHandler> handler;
    std::vector<std::unique_ptr<RoomClient>> owners;
};
}  // namespace

// "+connect_lobby N +password P": room 1 is open, room 2 locked, room 3 full.
// The locked room opens to its password only, and each refusal says why: the
// wrong password as such, the full room as full, never the one for the other.
namespace {
struct RequestedRoom : OnlineRoomServer {
    RequestedRoom() { listedRooms = {"Harbour brawl:2:0:3", "Locked gate:2:0:3:0:0:password=kestrel", "Packed:6:0:3"}; }
};
}  // namespace

TEST_F(RequestedRoom, ARoomAskedForFromTheCommandLineIsJoinedWithItsPasswordOrToldWhyNot)
{
    for (int i = 0; i < 3; ++i) {  // a room of four: the host and three more
        auto crowd = std::make_unique<RoomClient>(pacedRoomConfig(*server));
        crowd->connectAsync("crowd", 1, 3);
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             !crowd->connected() && std::chrono::steady_clock::now() < end;) {
            crowd->poll(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(crowd->joinRoomById(3), 0);
        owners.push_back(std::move(crowd));
    }
    const std::u16string full = getStringByIndex(MultiPlayerMenuFrameOnline::kRoomFullString);
    const std::u16string wrong = getStringByIndex(MultiPlayerMenuFrameOnline::kWrongPasswordString);
    ASSERT_NE(full.find(u"full"), std::u16string::npos) << "the texts of the two refusals";
    ASSERT_NE(wrong.find(u"password"), std::u16string::npos);
    struct Ask {
        const char* room;
        const char* password;
        std::u16string told;  // empty: joined
    };
    for (const Ask& ask : {Ask{"2", "kestrel", u""}, Ask{"2", "heron", wrong}, Ask{"2", "", wrong},
                           Ask{"3", "", full}, Ask{"1", "", u""}}) {
        SCOPED_TRACE(std::string(ask.room) + " " + ask.password);
        closeAlert();
        handler->roomJoinState = 0;
        MultiPlayerMenuFrameOnline::joinRequestedRoom(ask.room, ask.password);
        ASSERT_TRUE(run([&] { return handler->roomJoinState == 3 || !alertText().empty(); }));
        EXPECT_EQ(alertText(), ask.told);
        EXPECT_EQ(handler->roomJoinState, ask.told.empty() ? 3 : -1);
    }
}

TEST_F(OnlineRoomServer, RoomsAreListedAndJoinedByNumberAndByName)
{
    openRoom("Harbour brawl", 2, 0, 3);
    openRoom("Ridge run", 3, 1, 12);
    goToFrame(&page());
    EXPECT_TRUE(page().busyOverlay->visible);
    ASSERT_TRUE(run([&] { return page().rows().size() == 2; }));
    EXPECT_FALSE(page().busyOverlay->visible);
    EXPECT_FALSE(page().searchingLabel->visible);
    ASSERT_TRUE(run([&] { return !page().listDirty; }));
    EXPECT_EQ(page().rows()[0]->roomText, u"Harbour brawl");

    // The lobby asks who is inside.
    page().openDetails(*page().rows()[0]);
    ASSERT_TRUE(run([&] { return !page().waitingLabel->visible; }));
    EXPECT_EQ(page().playerRows[0]->name, u"owner");
    EXPECT_EQ(page().playerRows[0]->rank, 3);

    page().joinShownRoom();
    ASSERT_TRUE(run([&] { return handler->roomJoinState == 3; }));
    EXPECT_TRUE(alertText().empty());
    EXPECT_TRUE(started.empty());

    // Again, by a typed name, after coming back to the page.
    goToFrame(&multiplayer);
    goToFrame(&page());
    ASSERT_TRUE(run([&] { return page().rows().size() == 2; }));
    page().onTextAccepted(u"Ridge run");
    ASSERT_TRUE(run([&] { return handler->roomJoinState == 3; }));
    EXPECT_TRUE(alertText().empty());
    // The second visit connected again.
    EXPECT_EQ(server->helloCount(), 2 + 2);
}

TEST_F(OnlineRoomServer, ARefusedJoinShows178AndStaysOnTheList)
{
    openRoom("Harbour brawl", 2, 0, 3);
    goToFrame(&page());
    ASSERT_TRUE(run([&] { return page().rows().size() == 1; }));
    page().onTextAccepted(u"nobody here");
    ASSERT_TRUE(run([&] { return !alertText().empty(); }));
    EXPECT_EQ(alertText(), getStringByIndex(178));
    EXPECT_FALSE(page().busyOverlay->visible);
    EXPECT_EQ(handler->roomJoinState, -1);
    // No join is left to run into the time limit and throw the player out.
    for (int i = 0; i < 20; ++i)
        handler->update(1.0f);
    page().update();
    EXPECT_EQ(currentFrame(), &page());
}

TEST_F(OnlineRoomServer, ADroppedServerShows177AfterTheMainAndMultiplayerPages)
{
    goToFrame(&page());
    ASSERT_TRUE(run([&] { return handler->room.connected(); }));
    server->stop();
    ASSERT_TRUE(run([&] { return currentFrame() == &multiplayer; }));
    EXPECT_EQ(alertText(), getStringByIndex(177));
    goBack();
    EXPECT_EQ(currentFrame(), static_cast<MenuFrame*>(MenuFrameRegistry::mainMenu()));
}

// With no server at the address the connection fails: the player is back on
// the multiplayer page told that no connection could be made.
TEST_F(OnlineRoomServer, NoServerAtTheAddressSaysNoConnectionCouldBeMade)
{
    server->stop();
    goToFrame(&page());
    ASSERT_TRUE(run([&] { return currentFrame() == &multiplayer; }));
    EXPECT_EQ(alertText(), getStringByIndex(177));
}

TEST_F(OnlineRoomServer, ACreatedRoomIsAskedForAndJoinedAsAClient)
{
    goToFrame(&page());
    ASSERT_TRUE(run([&] { return handler->room.connected() && !page().busyOverlay->visible; }));
    MPCreateOnlineMenuFrame& create = *MenuFrameRegistry::mpCreateOnlineMenu();
    goToFrame(&create);
    create.nameBox->setText(u"Evening sortie");
    settings().skirmishType = 3;
    create.hostGame();
    ASSERT_TRUE(run([&] { return handler->roomJoinState == 3; }));
    EXPECT_EQ(server->roomCount(), 1);
}

// The result page asks after the game whether its connection was a quick
// match; the page's own flag is cleared as soon as the connection is made.
TEST_F(OnlinePages, TheLastConnectionRemembersItWasAQuickMatch)
{
    goToFrame(&page());
    page().quickMatch = true;
    page().onConnected();
    EXPECT_FALSE(page().quickMatch);
    EXPECT_TRUE(page().lastConnectQuick);
    page().onConnected();
    EXPECT_FALSE(page().lastConnectQuick);
}

TEST_F(OnlinePages, EveryRoadOfTheRoomServerReachesThePage)
{
    goToFrame(&page());
    // Connected for a quick match: the handler joins the first room, the page waits.
    page().quickMatch = true;
    page().onConnected();
    EXPECT_FALSE(page().quickMatch);
    EXPECT_TRUE(page().busyOverlay->visible);
    EXPECT_EQ(page().busyLabel->shownText(), getStringByIndex(MultiPlayerMenuFrameOnline::kJoiningString));
    page().onConnected();
    EXPECT_FALSE(page().busyOverlay->visible);

    // A server text is shown as it came.
    page().onRoomError("Room closed by its host");
    EXPECT_EQ(alertText(), u"Room closed by its host");
    closeAlert();

    // Sent back to the list: the lobby closes and the notice comes.
    page().onRoomEntry(entry({.number = 2}).data());
    page().openDetails(*page().rows().at(0));
    page().onRoomLeft();
    EXPECT_FALSE(page().detailsOpen());
    EXPECT_EQ(currentFrame(), &page());
    EXPECT_FALSE(alertText().empty());
    closeAlert();

    // The connection could not be made: the main menu, the multiplayer page
    // over it, and the failed connection's message.
    page().onConnectFailed();
    EXPECT_EQ(currentFrame(), &multiplayer);
    EXPECT_EQ(alertText(), getStringByIndex(177));
    goBack();
    EXPECT_EQ(currentFrame(), static_cast<MenuFrame*>(MenuFrameRegistry::mainMenu()));

    // Events before the page was ever made reach a page made for them.
    MenuFrameRegistry::deleteAll();
    ASSERT_EQ(MenuFrameRegistry::existing(MenuFrameRegistry::Page::MultiPlayerOnline), nullptr);
    MultiPlayerMenuFrameOnline::roomEvents().onRoomEntry(entry({.number = 5}).data());
    ASSERT_NE(MenuFrameRegistry::existing(MenuFrameRegistry::Page::MultiPlayerOnline), nullptr);
    EXPECT_EQ(page().rows().size(), 1u);
}

TEST_F(OnlinePages, RoomCardsLinkUpToBackAndDownToRefresh)
{
    goToFrame(&page());
    for (unsigned n = 1; n <= 3; ++n)
        page().onRoomEntry(entry({.number = n, .hostRank = n}).data());
    page().update();
    const auto rows = page().rows();
    ASSERT_EQ(rows.size(), 3u);
    for (auto* row : rows) {
        EXPECT_EQ(row->neighbour(MenuItem::kUp), page().backButton());
        EXPECT_EQ(row->neighbour(MenuItem::kDown), page().refreshButton);
    }
    EXPECT_EQ(rows[0]->neighbour(MenuItem::kRight), rows[1]);
    // The keyboard's accept key on a card opens its lobby.
    page().focusedItem = rows[1];
    page().activateFocused();
    EXPECT_TRUE(page().detailsOpen());
    EXPECT_EQ(page().selectedRoom, &rows[1]->room);
}
