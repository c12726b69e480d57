#include "TutorialRun.h"

#include "gamedata/records/MapLists.h"
#include "modes/GameModeGlobals.h"
#include "platform/Language.h"
#include "platform/Random.h"
#include "platform/Settings.h"

bool TutorialRun::start(int index, std::string& error)
{
    seedRandom(4242, 17);
    if (!harness.mountData(error))
        return false;
    // The game's own table, as the hints and names read it.
    unloadStringTables();
    if (findStringTable().count() == 0) {
        error = "the main string table does not load";
        return false;
    }
    harness.tutorialHud = &hud;
    harness.overlays = &overlays;
    harness.progress = &progress;
    mode = dynamic_cast<TutorialGameMode*>(harness.startTutorial(index));
    if (!mode) {
        error = "the tutorial did not start";
        return false;
    }
    pilot = std::make_unique<TutorialPilot>(*mode, hud);
    return true;
}

TutorialRun::~TutorialRun()
{
    pilot.reset();
    harness.finish();
    unloadStringTables();
}

void TutorialRun::frame()
{
    hud.tick(kFrame);
    pilot->frame();
    mode->update(kFrame);
    elapsed += kFrame;
}

bool TutorialRun::runUntil(const std::function<bool()>& done, float seconds)
{
    const int frames = static_cast<int>(seconds / kFrame + 0.5f);
    for (int i = 0; i < frames; ++i) {
        if (done())
            return true;
        frame();
    }
    return done();
}

void TutorialRun::run(float seconds)
{
    (void)runUntil([] { return false; }, seconds);
}
