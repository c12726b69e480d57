#pragma once
#include "modes/ModeServices.h"
#include "platform/StringTable.h"
#include "support/TempDir.h"
#include "support/TestPak.h"
#include "support/modes/RecordingListener.h"

#include <filesystem>
#include <memory>

class GameMode;
struct MapInfoCfg;

// Plays a game mode headless: the generated data mounted from the staged
// paks/base.pak, the lists the game loads at start, a mode made by the
// game's own factory and made current, stepped at a fixed 1/60 s with no
// window and no audio device. The listener and HUD record what the mode
// tells them.
class ModeHarness {
public:
    static constexpr float kFrame = 1.0f / 60.0f;

    ModeHarness();
    ~ModeHarness();
    ModeHarness(const ModeHarness&) = delete;
    ModeHarness& operator=(const ModeHarness&) = delete;

    // False (with the reason) when the pak or a list does not load.
    bool mountData(std::string& error);
    // The first skirmish map of the generated data; null when none loaded.
    const MapInfoCfg* firstSkirmishMap() const;
    // Makes the mode of the type on the map and starts its level; null when
    // the type is unknown or the map does not load.
    GameMode* start(int gameType, const MapInfoCfg* map);
    // The same with a mode made by the test (the base rules of a type).
    GameMode* start(std::unique_ptr<GameMode> made, const MapInfoCfg* map);
    GameMode* mode() const;
    void run(float seconds);
    // Deletes the current mode.
    void finish();

    // Plays tutorial `index` on the tutorial map (slot 1) the way the game
    // starts it; null when it does not start.
    GameMode* startTutorial(int index);

    RecordingListener listener;
    // The running mode's outbox (empty without a mode).
    PostedEvents posted() const;
    RecordingHud hud;
    // Given to the mode at its start when set.
    ITutorialHud* tutorialHud = nullptr;
    IModeProgress* progress = nullptr;
    IModeOverlays* overlays = nullptr;
    IModeMessages* messages = nullptr;
    IModeScene* scene = nullptr;
    IModeEndPages* endPages = nullptr;
    // Replace the recording HUD and listener when set.
    IModeHud* ownHud = nullptr;
    IGameListener* network = nullptr;
    std::filesystem::path saveFolder() const { return m_save.path(); }

private:
    TempDir m_save, m_data;
    FileLayerScope m_scope{m_save.folder(), m_data.folder()};
    StringTable m_texts;
};
