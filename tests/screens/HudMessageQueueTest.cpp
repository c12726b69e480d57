#include "HudTestSupport.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Log.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "modes/GameMode.h"
#include "modes/Match.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/HudMessages.h"
#include "support/modes/TestConnections.h"
#include "screens/hud/MapHudLink.h"
#include "gamedata/map/GameWorld.h"
#include "support/TempDir.h"
#include "support/entities/SimHost.h"
#include "support/entities/WeaponScenarios.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

CFont& testFont()
{
    static CFont* font = [] {
        auto* f = new CFont;
        EXPECT_TRUE(f->loadSheet(hudTestFont(), 1.0f));
        return f;
    }();
    return *font;
}

CFont* testFontSource(int)
{
    return &testFont();
}

constexpr int kLongLineId = 500, kWarningA = 248, kWarningB = 249, kWarningC = 250;

// A queue over the monospace test font (10 pixels a character) on a 960 x 640
// screen, so notices wrap at 480 pixels, with a small English string table.
struct HudQueue : testing::Test {
    TempDir data;
    FileLayerScope scope{"", data.folder()};
    RecordingHudSounds sounds{data};
    HudMessageQueue* queue = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        setHudFontSource(testFontSource);
        unloadStringTables();
        data.write("data/strings/tables.cfg", "StringTableList { tables [ StringTableFile { name \"main\" } ] }");
        std::string table = "248 - \"Missile\"\n249 - \"Stall\"\n250 - \"Fuel\"\n359 - \"Time left\"\n";
        table += "500 - \"";
        for (int i = 0; i < 20; ++i)
            table += "wing ";
        table += "end\"\n";
        data.write("data/strings/EN/main.str", table);
        ASSERT_TRUE(setLanguageByIndex(0));
        queue = new HudMessageQueue;
    }
    void TearDown() override
    {
        delete queue;
        setHudFontSource(nullptr);
        setLanguageByIndex(0);
        unloadStringTables();
        setScreenSize(960, 640);
    }
    int onShow() const { return queue->warnings()[static_cast<std::size_t>(queue->warnIndex())]->stringId; }
};

TEST_F(HudQueue, SixthLongLineEvictsTheOldest)
{
    for (const char16_t* line : {u"one", u"two", u"three", u"four", u"five"})
        queue->pushLong(line);
    const HudMessage* oldest = queue->ring()[1].get();
    ASSERT_NE(oldest, nullptr);
    EXPECT_EQ(oldest->text, u"one");
    queue->pushLong(u"six");
    EXPECT_EQ(queue->ring()[1]->text, u"six");
    EXPECT_EQ(queue->ringIndex(), 1);
    int filled = 0;
    for (const auto& slot : queue->ring())
        filled += slot ? 1 : 0;
    EXPECT_EQ(filled, 5);
}

// Event lines stay on one line, all five in the box however long; a line
// wider than the screen leaves is cut to end in an ellipsis inside it.
// Notices wrap across the middle half of the screen.
TEST_F(HudQueue, EventLinesStayOnOneLineAndFitTheScreen)
{
    const std::u16string kill = u"You were shot down by Eske over the harbour";
    for (int i = 0; i < 5; ++i)
        queue->pushLong(kill);
    const CSprite::Rect box = queue->ringBox();
    for (const auto& line : queue->ring()) {
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->text, kill);
        EXPECT_EQ(line->lineCount, 1);
        EXPECT_EQ(line->width, static_cast<int>(kill.size()) * 10);
    }
    EXPECT_GE(box.h, 5.0f * queue->ring()[1]->height);
    std::u16string chat = u"\x07;Eske\x01; ";
    for (int i = 0; i < 30; ++i)
        chat += u"words ";
    queue->pushLong(chat);
    const HudMessage& cut = *queue->ring()[static_cast<std::size_t>(queue->ringIndex())];
    EXPECT_EQ(cut.lineCount, 1);
    EXPECT_EQ(cut.text.back(), u'\u2026');
    EXPECT_EQ(cut.text.rfind(u" \u2026"), std::u16string::npos) << "no space before the ellipsis";
    EXPECT_LE(queue->ringBox().x + queue->ringBox().w, 960.0f);
    EXPECT_GT(queue->ringBox().x + queue->ringBox().w, 960.0f - 20.0f);
    EXPECT_FLOAT_EQ(queue->noticeWrap, 480.0f);
    EXPECT_FLOAT_EQ(queue->noticeLeft, 240.0f);
}

TEST_F(HudQueue, LinesPushedTogetherLeaveOneAfterAnother)
{
    queue->pushLong(u"abcde");    // 0.4 s
    queue->pushLong(u"abcde");    // 0.4 + 0.4
    queue->pushLong(u"ab");       // 0.16 + 0.8
    EXPECT_NEAR(queue->ring()[3]->duration, 0.96f, 1e-5f);
    queue->update(0.5f);
    EXPECT_EQ(queue->ring()[1], nullptr);
    EXPECT_NE(queue->ring()[2], nullptr);
    queue->update(0.35f);
    EXPECT_EQ(queue->ring()[2], nullptr);
    EXPECT_NE(queue->ring()[3], nullptr);
    queue->update(0.2f);
    EXPECT_EQ(queue->ring()[3], nullptr);
    EXPECT_EQ(sounds.messageSounds(), 0);   // event lines are silent
}

TEST_F(HudQueue, NoticeDurationsByCharacterAndLanguage)
{
    queue->pushNotice(u"ten chars!", -1.0f, true, false);
    EXPECT_NEAR(queue->notices().back()->duration, 0.8f, 1e-5f);
    EXPECT_EQ(queue->centreLines().size(), 1u);
    queue->pushNotice(u"fixed", 6.0f, true, false);
    EXPECT_FLOAT_EQ(queue->notices().back()->timeLeft, 6.0f);
    queue->pushNotice(u"stays", 0.0f, false, true);
    queue->update(100.0f);
    queue->update(100.0f);
    queue->update(100.0f);
    ASSERT_EQ(queue->noticeCount(), 1);   // duration 0 never expires
    EXPECT_EQ(queue->notices().front()->text, u"stays");

    setLanguageByIndex(7);   // Japanese falls back to the English texts
    queue->pushNotice(u"ten chars!", -1.0f, true, false);
    EXPECT_NEAR(queue->notices().back()->duration, 4.0f, 1e-5f);
}

TEST_F(HudQueue, TutorialLinesLastThreeSecondsAWrappedLine)
{
    queue->pushTutorialLine(kWarningA, -1.0f);
    EXPECT_FLOAT_EQ(queue->notices().back()->duration, 3.0f);
    EXPECT_EQ(queue->notices().back()->stringId, kWarningA);   // one line keeps the number
    EXPECT_GE(queue->notices().back()->height, 28);

    queue->pushTutorialLine(kLongLineId, -1.0f);
    const HudMessage& longLine = *queue->notices().back();
    ASSERT_EQ(longLine.lineCount, 3);   // 105 characters at 48 a line
    EXPECT_EQ(longLine.stringId, 0);
    EXPECT_FLOAT_EQ(longLine.duration, 9.0f);
    EXPECT_TRUE(longLine.popIn);

    queue->pushTutorialLine(kWarningA, 7.5f);
    EXPECT_FLOAT_EQ(queue->notices().back()->duration, 7.5f);

    ASSERT_TRUE(setScreenSize(2400, 1600));   // sprite scale 4
    queue->pushTutorialLine(kWarningA, -1.0f);
    EXPECT_NEAR(queue->notices().back()->duration, 4.8f, 1e-5f);
    EXPECT_GE(queue->notices().back()->height, 56);
}

TEST_F(HudQueue, OnlyTheHeadNoticeCountsDown)
{
    queue->pushNotice(u"first", 1.0f, true, false);
    queue->pushNotice(u"second", 2.0f, true, false);
    queue->update(0.6f);
    EXPECT_FLOAT_EQ(queue->notices()[1]->timeLeft, 2.0f);
    queue->update(0.6f);
    ASSERT_EQ(queue->noticeCount(), 1);
    EXPECT_FLOAT_EQ(queue->notices()[0]->timeLeft, 2.0f);   // starts on the next frame
    queue->update(0.5f);
    EXPECT_FLOAT_EQ(queue->notices()[0]->timeLeft, 1.5f);
    queue->popOldestNotice();
    queue->popOldestNotice();
    EXPECT_EQ(queue->noticeCount(), 0);
}

TEST_F(HudQueue, DuplicateWarningChangesNothing)
{
    queue->pushCentre(kWarningA, Color4{255, 0, 0, 255}, 4.0f);
    queue->pushCentre(kWarningA, Color4{0, 255, 0, 255}, 9.0f);
    ASSERT_EQ(queue->warnings().size(), 1u);
    EXPECT_FLOAT_EQ(queue->warnings()[0]->duration, 4.0f);
    EXPECT_EQ(queue->warnings()[0]->color.r, 255);
    EXPECT_EQ(queue->warnings()[0]->color.g, 0);
    queue->removeById(kWarningA);
    queue->removeById(kWarningA);
    EXPECT_TRUE(queue->warnings().empty());
}

TEST_F(HudQueue, AWrappedWarningShowsItsLinesInItsPanelAndIsStillFoundByItsNumber)
{
    queue->pushCentre(kLongLineId, Color4{255, 80, 60, 255}, 0.0f);
    ASSERT_EQ(queue->warnings().size(), 1u);
    const HudMessage& warning = *queue->warnings()[0];
    EXPECT_EQ(warning.stringId, kLongLineId);
    EXPECT_EQ(warning.lineCount, 3);
    // The lines drawn are the wrapped ones the panel was measured from.
    EXPECT_EQ(warning.shownText(), std::u16string_view(warning.text));
    EXPECT_EQ(std::count(warning.text.begin(), warning.text.end(), u'\n'), 2);
    EXPECT_LE(measureText(&testFont(), warning.shownText()).width, queue->noticeWrap);
    EXPECT_LE(queue->warningBox().w, queue->noticeWrap + 40.0f);
    queue->pushCentre(kLongLineId, Color4{}, 0.0f);
    EXPECT_EQ(queue->warnings().size(), 1u);
    queue->removeById(kLongLineId);
    EXPECT_TRUE(queue->warnings().empty());
}

TEST_F(HudQueue, WarningBlinksInTenthsOfThreeSeconds)
{
    queue->pushCentre(kWarningA, Color4{}, 0.0f);
    queue->update(0.01f);   // the first fade-in is already over
    EXPECT_EQ(queue->warnPhase(), 1);
    EXPECT_NEAR(queue->warningOpacity(), 1.0f, 1e-5f);
    queue->update(0.15f);
    EXPECT_NEAR(queue->warningOpacity(), 0.5f, 1e-4f);
    queue->update(0.2f);   // fade-out over: fade in again
    EXPECT_EQ(queue->warnPhase(), 0);
    EXPECT_NEAR(queue->warningOpacity(), 0.0f, 1e-5f);
    queue->update(0.15f);
    EXPECT_NEAR(queue->warningOpacity(), 0.5f, 1e-4f);
    queue->update(0.2f);
    EXPECT_EQ(queue->warnPhase(), 1);
    EXPECT_EQ(queue->warnings().size(), 1u);
}

TEST_F(HudQueue, WarningOnShowStaysWhenAnEarlierOneGoes)
{
    queue->pushCentre(kWarningA, Color4{}, 1.5f);
    queue->pushCentre(kWarningB, Color4{}, 0.0f);
    queue->pushCentre(kWarningC, Color4{}, 0.0f);
    // Each warning shows for 0.6 s: A, B, then C from about 1.2 s.
    float t = 0.0f;
    while (t < 1.45f) {
        queue->update(0.05f);
        t += 0.05f;
    }
    ASSERT_EQ(onShow(), kWarningC);
    ASSERT_EQ(queue->warnIndex(), 2);
    queue->update(0.1f);   // A expires while C shows: C stays on show
    ASSERT_EQ(queue->warnings().size(), 2u);
    EXPECT_EQ(queue->warnIndex(), 1);
    EXPECT_EQ(onShow(), kWarningC);
    queue->removeById(kWarningB);
    EXPECT_EQ(onShow(), kWarningC);
    queue->removeById(kWarningC);
    EXPECT_TRUE(queue->warnings().empty());
    queue->update(0.1f);
    queue->drawLong();   // nothing to show, no index to go wrong
}

TEST(HudCountdown, TenHundredthsAndMoreShowTwoDigits)
{
    EXPECT_EQ(HudMessageQueue::countdownText(7.10f), u"7.10");
    EXPECT_EQ(HudMessageQueue::countdownText(7.09f), u"7.09");
    EXPECT_EQ(HudMessageQueue::countdownText(7.11f), u"7.11");
    EXPECT_EQ(HudMessageQueue::countdownText(0.1f), u"0.10");
    EXPECT_EQ(HudMessageQueue::countdownText(59.999f), u"60.00");
}

TEST_F(HudQueue, CountdownTextsAndFade)
{
    EXPECT_EQ(HudMessageQueue::countdownText(7.05f), u"7.05");
    EXPECT_EQ(HudMessageQueue::countdownText(12.5f), u"12.50");
    EXPECT_EQ(HudMessageQueue::countdownText(0.0f), u"0.00");
    EXPECT_EQ(HudMessageQueue::countdownColor(6.0f).g, 255);
    const Color4 half = HudMessageQueue::countdownColor(2.5f);
    EXPECT_EQ(half.r, 255);
    EXPECT_EQ(half.g, 127);
    EXPECT_EQ(half.b, 127);
    EXPECT_EQ(HudMessageQueue::countdownColor(0.0f).g, 0);

    queue->setCountdown(3.0f, "0123456789012345678901234567890123456789012345678901234567890123456789");
    EXPECT_EQ(queue->countdownLabel().size(), 63u);
    queue->update(1.0f);
    EXPECT_FLOAT_EQ(queue->countdown(), 2.0f);
    queue->setCountdown(HudMessageQueue::kCountdownHidden, nullptr);
    queue->update(1.0f);
    EXPECT_FLOAT_EQ(queue->countdown(), HudMessageQueue::kCountdownHidden);
    EXPECT_TRUE(queue->countdownLabel().empty());
}

struct FakeTrigger : IHudTrigger {
    int kind() const override { return 6; }
    int total() const override { return 3; }
    int done() const override { return 1; }
    bool firstTargetInPlay(int& k, int& v, int& t) const override { k = 1, v = -1, t = 0; return true; }
};

TEST_F(HudQueue, ThirtyThirdTriggerIsIgnored)
{
    std::vector<FakeTrigger> triggers(33);
    for (FakeTrigger& trigger : triggers)
        queue->registerTrigger(&trigger);
    ASSERT_EQ(queue->triggers().size(), 32u);
    EXPECT_EQ(queue->triggers().back(), &triggers[31]);
    queue->clearAll();
    EXPECT_TRUE(queue->triggers().empty());
    EXPECT_EQ(hudTriggerKindIcon(17, -1, 1), -1);
    EXPECT_EQ(hudTriggerKindIcon(17, -1, 2), 152);
    EXPECT_EQ(hudTriggerKindIcon(1, 2, 2), 135);
    EXPECT_EQ(hudTriggerKindIcon(99, -1, 2), 101);
}

TEST_F(HudQueue, EachMessageSoundPlaysOnce)
{
    queue->pushNotice(u"hello", 5.0f, true, false);
    queue->pushTutorialLine(kWarningB, 5.0f);
    queue->pushCentre(kWarningA, Color4{}, 5.0f);   // warnings come silent
    queue->update(0.1f);
    queue->update(0.1f);
    EXPECT_EQ(sounds.messageSounds(), 1);
    queue->popOldestNotice();
    queue->update(0.1f);
    queue->update(0.1f);
    EXPECT_EQ(sounds.messageSounds(), 2);

    queue->pushWithSound(9, u"Double kill");
    queue->pushWithSound(15, u"no such sound");
    queue->pushWithSound(-1, u"nor this");
    ASSERT_EQ(sounds.announcers().size(), 1u);
    EXPECT_EQ(sounds.announcers()[0], "data/sounds/double_kill.wav");
    EXPECT_FLOAT_EQ(queue->notices().back()->duration, 3.0f);
}

TEST_F(HudQueue, UnbrokenTextWrapsWithinItsBuffer)
{
    // Ideographs break anywhere: 2000 of them want more breaks than the
    // buffer's spare room, so the text is cut, never overrun.
    const std::u16string ideographs(2000, char16_t(0x4E00));
    queue->pushNotice(ideographs, -1.0f, true, false);
    const HudMessage& wrapped = *queue->notices().back();
    EXPECT_GT(wrapped.lineCount, 1);
    EXPECT_LE(wrapped.text.size(), ideographs.size() + 31);
    // A Latin word wider than the line keeps a line of its own.
    queue->pushNotice(std::u16string(2000, u'a'), -1.0f, true, false);
    EXPECT_EQ(queue->notices().back()->lineCount, 1);
    EXPECT_EQ(queue->notices().back()->text.size(), 2000u);
}

TEST_F(HudQueue, HeadNoticeHitAndTeamList)
{
    EXPECT_FALSE(queue->hitHeadNotice(480, 100));
    queue->pushNotice(u"tap me", 5.0f, true, false);
    queue->noticeY = 100.0f;
    EXPECT_TRUE(queue->hitHeadNotice(480, 100));
    EXPECT_FALSE(queue->hitHeadNotice(480, 300));

    SimHost host;
    Target* a = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::Vehicle, 0, 1.0f, 1.0f));
    Target* b = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::Vehicle, 0, 1.0f, 1.0f));
    HudTeamList& list = queue->players();
    list.add(a->handle());
    list.add(a->handle());
    list.add(b->handle());
    EXPECT_EQ(list.count(), 2);
    list.remove(a->handle());
    EXPECT_FALSE(list.contains(a->handle()));
    EXPECT_TRUE(list.contains(b->handle()));
}

}  // namespace

TEST_F(HudQueue, TheMapsTriggersReachTheQueueAndItsObjectivePanel)
{
    GameWorld world;
    auto objective = std::make_unique<MapTrigger>();
    objective->name = "bridges";
    objective->kind = MapTrigger::Objective;
    objective->total = 3;
    objective->started = true;  // started at level start, before the HUD was linked
    MapTrigger& bridges = *objective;
    world.addTrigger(std::move(objective));
    auto later = std::make_unique<MapTrigger>();
    later->name = "convoy";
    later->kind = MapTrigger::Objective;
    later->enabled = false;
    MapTrigger& convoy = *later;
    world.addTrigger(std::move(later));
    auto script = std::make_unique<MapTrigger>();
    script->name = "timer";
    script->started = true;
    world.addTrigger(std::move(script));

    MapHudLink link;
    link.attach(&world, *queue);
    ASSERT_EQ(queue->triggers().size(), 1u) << "only objectives go to the side panel";
    IHudTrigger& shown = *queue->triggers()[0];
    bridges.done = 2;
    EXPECT_EQ(shown.kind(), MapTrigger::Objective);
    EXPECT_EQ(shown.total(), 3);
    EXPECT_EQ(shown.done(), 2);
    link.registerObjective(bridges);
    EXPECT_EQ(queue->triggers().size(), 1u) << "an objective is listed once";
    world.enableTrigger(convoy, true);
    ASSERT_EQ(queue->triggers().size(), 2u) << "an objective started in play joins the panel";

    // The world's actions go through the link now.
    IMapHud& hud = world.hooks().hudOrNone();
    hud.setNoticeIcon(3);
    hud.pushNotice(u"Destroy the bridges", 4.0f);
    hud.setNoticeIcon(0);
    ASSERT_EQ(queue->noticeCount(), 1);
    EXPECT_EQ(queue->notices()[0]->text, u"Destroy the bridges");
    hud.setCountdown(30.0f, "Time left");
    EXPECT_FLOAT_EQ(queue->countdown(), 30.0f);
    queue->pushLong(u"Wing shot down Bandit");
    hud.clearMessages();
    EXPECT_EQ(queue->noticeCount(), 0);
    EXPECT_EQ(queue->ringEntryCount(), 1) << "the event lines stay";

    // A later game's link leaves the old objective reading nothing.
    GameWorld next;
    link.attach(&next, *queue);
    EXPECT_EQ(shown.kind(), MapTrigger::Script);
    EXPECT_EQ(shown.total(), 0);
    int kind = 0, variant = 0, team = 0;
    EXPECT_FALSE(shown.firstTargetInPlay(kind, variant, team));
}

// The game's messages connection: a match's event lines go to the ring and
// its notices to the notice list, popping in unless told otherwise.
TEST_F(HudQueue, AMatchsEventLinesAndNoticesReachTheQueueThroughItsMessages)
{
    HudMessages messages(*queue);
    ModeServices services;
    services.messages = &messages;
    std::unique_ptr<Match> match =
        Match::create(std::make_unique<GameMode>(GameType::FreeForAll), testConnections({}, services));
    ASSERT_NE(match, nullptr);
    GameMode& mode = match->mode();
    Target* unit = mode.addPlayerAirplane(Target::create<Target>(mode, TargetKind::LandUnit, 1), false);
    ASSERT_NE(unit, nullptr);

    mode.postEventText(GameMode::EventKind::Ejected, *unit, nullptr);
    EXPECT_EQ(queue->ringEntryCount(), 1);
    EXPECT_FALSE(messages.hasNotice());
    mode.postEventText(GameMode::EventKind::FlagTaken, *unit, nullptr);
    ASSERT_EQ(queue->noticeCount(), 1);
    EXPECT_TRUE(messages.hasNotice());
    EXPECT_TRUE(queue->notices()[0]->popIn);
    messages.pushNotice(u"quiet", 2.0f, 0, 1);
    ASSERT_EQ(queue->noticeCount(), 2);
    EXPECT_FALSE(queue->notices()[1]->popIn);
    EXPECT_FLOAT_EQ(queue->notices()[1]->duration, 2.0f);
    messages.clearNotices();
    EXPECT_FALSE(messages.hasNotice());
    EXPECT_EQ(queue->ringEntryCount(), 1) << "clearing the notices keeps the event lines";
    mode.clearLevel();
}

// A pilot shot down in Russian, Chinese, Japanese or Korean, by a pilot named
// in that script: the event line reaches the log in UTF-8 that reads back to
// both names and the language's words.
TEST_F(HudQueue, EventLinesOfEveryScriptReachTheLogReadable)
{
    struct Script {
        const char* code;
        const char* shotDownBy;
        std::u16string victim, killer;
    };
    const Script scripts[] = {
        {"RU", "сбит игроком", u"Лётчик", u"Ёжик"},
        {"ZH", "被击落，击落者：", u"飞行员", u"王小明"},
        {"JA", "を撃墜したのは", u"パイロット", u"佐藤"},
        {"KO", "격추됨, 격추한 사람:", u"조종사", u"김민준"},
    };
    std::vector<std::string> logged;
    setLogCapture([&](LogLevel, const std::string&, const std::string& line) { logged.push_back(line); });
    HudMessages messages(*queue);
    ModeServices services;
    services.messages = &messages;
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.code);
        data.write(std::string("data/strings/") + script.code + "/main.str",
                   std::string("71 - \"") + script.shotDownBy + "\"\n");
        ASSERT_TRUE(setLanguageByCode(script.code));
        std::unique_ptr<Match> match =
            Match::create(std::make_unique<GameMode>(GameType::FreeForAll), testConnections({}, services));
        ASSERT_NE(match, nullptr);
        GameMode& mode = match->mode();
        Target* victim = mode.addPlayerAirplane(Target::create<Target>(mode, TargetKind::LandUnit, 1), false);
        Target* killer = mode.addPlayerAirplane(Target::create<Target>(mode, TargetKind::LandUnit, 0), false);
        ASSERT_TRUE(victim && killer);
        victim->pilotName = script.victim;
        killer->pilotName = script.killer;
        logged.clear();
        mode.postEventText(GameMode::EventKind::ShotDown, *victim, killer);
        ASSERT_EQ(logged.size(), 1u);
        const std::u16string line = utf8ToWide(logged[0]);
        EXPECT_EQ(line.find_first_of(u"?\uFFFD"), std::u16string::npos) << logged[0];
        for (const std::u16string& part : {script.victim, script.killer, utf8ToWide(script.shotDownBy)})
            EXPECT_NE(line.find(part), std::u16string::npos) << logged[0];
        mode.clearLevel();
    }
    setLogCapture({});
}
