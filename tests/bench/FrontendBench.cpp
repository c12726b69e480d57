// The way into the game at 1280 x 720: the main menu's and the map choice's
// update and 2-D draw (the menu flight's 3-D scene is the scene's own cost),
// and the rebuild of every front-end page after a change of language.
#include "MenuBenchTarget.h"
#include "support/ui/FakeMenuShowcase.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/ChooseControlTypePanel.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/settings/LanguageMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "menus/settings/OtherGameSettingsMenuFrame.h"

#include <benchmark/benchmark.h>

namespace {
struct Bench : MenuBenchFrame {
    FakeMenuShowcase scene;

    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state))
            return false;
        for (int id = 0; id < 6; ++id)
            scene.add({id, id / 2, id / 2, false, {{0.5f, 0.5f, 0.5f, 0.5f}}, id, id});
        setMenuShowcase(&scene);
        return true;
    }
    ~Bench()
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        setMenuShowcase(nullptr);
    }
};

template <auto page>
void pageUpdateAndDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    goToFrame(page());
    timeMenuFrames(state, bench);
}
BENCHMARK(pageUpdateAndDraw<&MenuFrameRegistry::mainMenu>)->Name("mainMenuUpdateAndDraw")->Unit(benchmark::kMicrosecond);
// The map row with the arrows at its ends.
BENCHMARK(pageUpdateAndDraw<&MenuFrameRegistry::gameSetupMenu>)
    ->Name("mapChoiceUpdateAndDraw")
    ->Unit(benchmark::kMicrosecond);

// Every page of the way in built, then the rebuild the main loop runs after a
// change of language.
void languageRebuild(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        goToFrame(MenuFrameRegistry::mainMenu());
        goToFrame(MenuFrameRegistry::playMenu());
        goToFrame(MenuFrameRegistry::tutorialListMenu());
        goToFrame(MenuFrameRegistry::optionsMenu());
        goToFrame(MenuFrameRegistry::otherGameSettingsMenu());
        goToFrame(MenuFrameRegistry::languageMenu());
        (void)MenuFrameRegistry::chooseControlTypePanel();
        state.ResumeTiming();
        rebuildMenusForLanguage();
    }
}
BENCHMARK(languageRebuild)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
