#include "modes/ModeHooks.h"

namespace {
IModeHud g_noHud;
IModeCamera g_noCamera;
IModeProgress g_noProgress;
IModeScores g_noScores;
ITutorialHud g_noTutorialHud;
}  // namespace

IModeHud& ModeHooks::hudOrNone() const { return hud ? *hud : g_noHud; }
IModeCamera& ModeHooks::cameraOrNone() const { return camera ? *camera : g_noCamera; }
IModeProgress& ModeHooks::progressOrNone() const { return progress ? *progress : g_noProgress; }
IModeScores& ModeHooks::scoresOrNone() const { return scores ? *scores : g_noScores; }
ITutorialHud& ModeHooks::tutorialOrNone() const { return tutorial ? *tutorial : g_noTutorialHud; }
