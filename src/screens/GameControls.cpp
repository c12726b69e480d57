#include "screens/GameControls.h"

#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerAirplaneInput.h"
#include "platform/Controls.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "screens/GameScreen.h"
#include "screens/PauseScreen.h"
#include "ui/MenuFrame.h"
#include "screens/Screens.h"
#include "screens/hud/GameHud.h"
#include "screens/hud/PlaneHud.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"

#include <algorithm>
#include <cmath>

namespace {
// The player flies only on the game screen; the menu flight behind the menus
// belongs to its AI.
GameMode* playedMode()
{
    return currentScreen() == &gameScreen() ? modeOf(currentMatch()) : nullptr;
}

MenuFrame* g_peeked = nullptr;

// Holding "Scores" shows the game's pause page (a match's score table, a
// mission's objectives) over the HUD while the player's airplane flies and
// nothing covers the game.
void peekScores(GameMode& mode, bool pressed)
{
    if (!pressed) {
        GameControls::endScorePeek();
        return;
    }
    if (scorePeek())
        return;
    const Airplane* own = mode.playerAirplane();
    const PauseMenu kind = mode.getPauseMenu();
    if (!own || !own->isAlive() || overlayScreen() || overlayQueueSize() > 0 ||
        mode.gameType() == GameType::FreeFlight)
        return;
    MenuFrame* page = pauseMenuPage(kind);
    if (!page)
        return;
    scorePeek() = true;
    g_peeked = page;
    logInfo("screens", "page %d held over the HUD", static_cast<int>(kind));
    page->onShow();
}
}  // namespace

namespace GameControls {

int nextViewMode(int mode)
{
    return mode == 0 ? 1 : mode == 1 ? 2 : 0;
}

void onGameAction(int gameAction, bool pressed)
{
    GameMode* mode = playedMode();
    if (!mode)
        return;
    const auto action = static_cast<ControlAction>(gameAction + kFirstGameAction);
    // Triggers and boost last while held.
    switch (action) {
    case ControlAction::Weapon_1: pullPlayerTrigger(*mode, 0, pressed); return;
    case ControlAction::Weapon_2: pullPlayerTrigger(*mode, 1, pressed); return;
    case ControlAction::Weapon_3: pullPlayerTrigger(*mode, 2, pressed); return;
    case ControlAction::Boost: setPlayerBoost(*mode, pressed); return;
    case ControlAction::Scores: peekScores(*mode, pressed); return;
    case ControlAction::FastForward: planeHud().holdFastForward(pressed); return;
    default: break;
    }
    if (!pressed)
        return;
    switch (action) {
    case ControlAction::Radar:
        // The radar's touch area and key lock the nearest enemy airplane within reach.
        mode->lockPlayerTarget();
        planeHud().radarLarge = !planeHud().radarLarge;
        break;
    case ControlAction::Link_Weapons: planeHud().linkWeapons(); break;
    case ControlAction::Camera: {
        GameCamera& camera = gameCamera();
        const int view = nextViewMode(camera.mode);
        settings().chosenViewMode = view;
        camera.setMode(view);
        break;
    }
    case ControlAction::Eject: ejectPlayerPilot(*mode); break;
    case ControlAction::Autopilot: togglePlayerAutopilot(*mode); break;
    case ControlAction::Squadron_Cmd: orderPlayerSquadron(*mode, 2); break;
    case ControlAction::Squadron_CmdA: orderPlayerSquadron(*mode, 1); break;
    case ControlAction::Squadron_CmdD: orderPlayerSquadron(*mode, 3); break;
    case ControlAction::Squadron_CmdF: orderPlayerSquadron(*mode, 0); break;
    case ControlAction::Menu: gameHud().pauseGame(); break;
    case ControlAction::Chat:
        if (!mode->isSinglePlayer())
            gameHud().openChat(false);
        break;
    default: break;
    }
}

MenuFrame* peekedScores()
{
    if (!scorePeek())
        return nullptr;
    // The pause screen took over (the match ended, the game paused): the
    // page is its own now.
    if (overlayScreen() || overlayQueueSize() > 0) {
        endScorePeek();
        return nullptr;
    }
    return g_peeked;
}

void endScorePeek()
{
    MenuFrame* page = g_peeked;
    const bool held = scorePeek();
    scorePeek() = false;
    g_peeked = nullptr;
    const bool shownByPause = (overlayScreen() || overlayQueueSize() > 0) && pauseScreen().frame == page;
    if (held && page && !shownByPause)
        page->onHide();
    if (held)
        logInfo("screens", "page over the HUD let go");
}

void updateSteeringMode(bool menusUp)
{
    Input& in = input();
    const GameMode* mode = playedMode();
    const Airplane* plane = mode ? mode->playerAirplane() : nullptr;
    if (menusUp || !plane || !plane->isAlive())
        in.steeringMode = Input::kSteerNone;
    else if (mode->autopilot)
        in.steeringMode = Input::kSteerAutopilot;
    else
        in.steeringMode = std::clamp(settings().controlDevice, Input::kSteerKeyboard, Input::kSteerMouse);
}

void steerToAim(const Quat& plane, const Quat& aim, float& pitch, float& yaw, float& roll)
{
    const Vec3 ahead = quatRotateVector(quatConjugate(plane), quatRotateVector(aim, Vec3{0.0f, 0.0f, -1.0f}));
    const float side = std::atan2(ahead.x, -ahead.z);
    const float up = std::atan2(ahead.y, std::sqrt(ahead.x * ahead.x + ahead.z * ahead.z));
    // Full stick from about 15 degrees off the nose; the wings bank up to 60
    // degrees into the turn, and level out when the aim is straight ahead.
    constexpr float kGain = 4.0f, kBankPerTurn = 2.5f, kMaxBank = kPi / 3.0f;
    pitch = std::clamp(up * kGain, -1.0f, 1.0f);
    yaw = std::clamp(side * kGain, -1.0f, 1.0f);
    const Vec3 right = quatRotateVector(plane, Vec3{1.0f, 0.0f, 0.0f});
    const float bank = std::asin(std::clamp(-right.y, -1.0f, 1.0f));
    const float wantedBank = std::clamp(side * kBankPerTurn, -kMaxBank, kMaxBank);
    roll = std::clamp((wantedBank - bank) * 2.0f, -1.0f, 1.0f);
}

void applyFlightInput(const PlayerFlightInput& flight)
{
    GameMode* mode = playedMode();
    if (!mode)
        return;
    float pitch = flight.pitch, yaw = flight.yaw, roll = flight.roll;
    const PlaneHud::Reticle& aim = planeHud().reticle;
    const Airplane* plane = mode->playerAirplane();
    if (input().steeringMode == Input::kSteerMouse && plane && aim.warmFrames >= 3) {
        // The mouse moves the aim; the stick follows it, and the keys add to it.
        float aimPitch = 0.0f, aimYaw = 0.0f, aimRoll = 0.0f;
        steerToAim(plane->orientation(), aim.orientation, aimPitch, aimYaw, aimRoll);
        pitch = std::clamp(pitch + aimPitch, -1.0f, 1.0f);
        yaw = std::clamp(yaw + aimYaw, -1.0f, 1.0f);
        roll = std::clamp(roll + aimRoll, -1.0f, 1.0f);
    }
    steerPlayerAirplane(*mode, pitch, yaw, roll, flight.throttle);
    // A finger on the camera drag owns the look while it is down.
    CamRotateControl& look = planeHud().camRotate();
    if (look.touchId() < 0)
        look.updateInertia(flight.lookX, flight.lookY);
}

void touchStickAxes(float& x, float& y)
{
    x = y = 0.0f;
    if (playedMode())
        planeHud().dpad().axes(x, y);
}

void releasePlayerStick()
{
    if (GameMode* mode = modeOf(currentMatch()))
        releasePlayerAirplane(*mode);
}

}  // namespace GameControls
