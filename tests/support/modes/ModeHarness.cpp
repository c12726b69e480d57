#include "support/modes/ModeHarness.h"

#include "effects/world/Parachute.h"
#include "entities/EntityIds.h"
#include "entities/TimedPoints.h"
#include "entities/weapons/BulletPool.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "support/modes/TestConnections.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "render/assets/Model.h"

ModeHarness::ModeHarness()
{
    BulletPool::instance().clear();
    TimedPoints::instance().clear();
    setGameClock(0.0f);
    teamCounters() = TeamCounters{};
}

ModeHarness::~ModeHarness()
{
    finish();
    MapLists::instance().clear();
    UnitList::instance().clear();
    WeaponList::instance().clear();
    PlaneList::instance().clear();
    AirplaneModel::releaseAll();
    // The ejected pilots' shared model goes with the others.
    Parachute::releaseShared();
    releaseAllModels();
    unloadStringTables();
    unmountAllPaks();
}

bool ModeHarness::mountData(std::string& error)
{
    if (!mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")) {
        error = "paks/base.pak does not mount: build the data target";
        return false;
    }
    // The game's own table too: the modes name things through it.
    auto table = openFile("data/strings/EN/main.str");
    if (!table || !m_texts.load(*table) || !setLanguageByIndex(0)) {
        error = "no English string table";
        return false;
    }
    if (!PlaneList::instance().load(PlaneList::kListPath, m_texts, settings()) ||
        !WeaponList::instance().load(WeaponList::kListPath, m_texts) ||
        !UnitList::instance().load(UnitList::kListPath, m_texts) ||
        !MapLists::instance().load(MapLists::kFolder, m_texts)) {
        error = "a list of the generated data does not load";
        return false;
    }
    return true;
}

const MapInfoCfg* ModeHarness::firstSkirmishMap() const
{
    for (int slot = 0; slot < MapLists::kSlots; ++slot)
        if (const MapInfoCfg* m = MapLists::instance().skirmishMap(slot))
            return m;
    return nullptr;
}

PostedEvents ModeHarness::posted() const
{
    const GameMode* mode = modeOf(currentMatch());
    return mode ? readOutbox(mode->outbox()) : PostedEvents{};
}

GameMode* ModeHarness::start(int gameType, const MapInfoCfg* map)
{
    return start(createGameMode(gameType), map);
}

GameMode* ModeHarness::start(std::unique_ptr<GameMode> made, const MapInfoCfg* map)
{
    if (!made)
        return nullptr;
    ModeHooks hooks = hud.hooks();
    hooks.tutorial = tutorialHud;
    if (ownHud)
        hooks.hud = ownHud;
    if (progress)
        hooks.progress = progress;
    ModeServices services;
    services.overlays = overlays;
    services.messages = messages;
    services.scene = scene;
    services.endPages = endPages;
    made->setMapRecord(map);
    if (!startMatch(std::move(made), testConnections(hooks, services, network ? network : &listener)))
        return nullptr;
    if (!modeOf(currentMatch())->startLevel()) {
        endMatch();
        return nullptr;
    }
    return modeOf(currentMatch());
}

GameMode* ModeHarness::startTutorial(int index)
{
    tutorialIndex() = index;
    constexpr int kTutorialMap = 1;
    return start(static_cast<int>(GameType::Tutorial), MapLists::instance().skirmishMap(kTutorialMap));
}

GameMode* ModeHarness::mode() const { return modeOf(currentMatch()); }

void ModeHarness::run(float seconds)
{
    GameMode* m = modeOf(currentMatch());
    if (!m)
        return;
    const int frames = static_cast<int>(seconds * 60.0f + 0.5f);
    for (int i = 0; i < frames; ++i)
        m->update(kFrame);
}

void ModeHarness::finish() { endMatch(); }
