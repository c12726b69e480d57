#include "support/modes/TutorialPilot.h"

#include "platform/Controls.h"
#include "platform/Input.h"
#include "modes/PlayerAirplaneInput.h"
#include "support/modes/TutorialFakes.h"

#include <array>

class TutorialPilot::Handler : public IControlsHandler {
public:
    Handler(GameMode& mode, RecordingTutorialHud& hud) : m_mode(mode), m_hud(hud) {}

    void onGameAction(int gameAction, bool pressed) override
    {
        const auto action = static_cast<ControlAction>(gameAction + kFirstGameAction);
        if (pressed)
            ++started[static_cast<std::size_t>(action)];
        switch (action) {
        case ControlAction::Weapon_1: pullPlayerTrigger(m_mode, 0, pressed); break;
        case ControlAction::Weapon_2: pullPlayerTrigger(m_mode, 1, pressed); break;
        case ControlAction::Weapon_3: pullPlayerTrigger(m_mode, 2, pressed); break;
        case ControlAction::Boost: setPlayerBoost(m_mode, pressed); break;
        default: break;
        }
        if (!pressed)
            return;
        switch (action) {
        case ControlAction::Autopilot: togglePlayerAutopilot(m_mode); break;
        case ControlAction::Eject: ejectPlayerPilot(m_mode); break;
        case ControlAction::Squadron_Cmd: orderPlayerSquadron(m_mode, 2); break;
        case ControlAction::Squadron_CmdA: orderPlayerSquadron(m_mode, 1); break;
        case ControlAction::Squadron_CmdD: orderPlayerSquadron(m_mode, 3); break;
        case ControlAction::Squadron_CmdF: orderPlayerSquadron(m_mode, 0); break;
        case ControlAction::Link_Weapons: m_hud.linkWeapons(); break;
        case ControlAction::Camera:
            // The views in turn: behind the aircraft (2) and the cockpit (3).
            m_hud.camera = m_hud.camera == 2 ? 3 : 2;
            break;
        default: break;
        }
    }
    void onMenuAction(ControlAction) override {}
    void applyFlightInput(const PlayerFlightInput& f) override { steerPlayerAirplane(m_mode, f.pitch, f.yaw, f.roll, f.throttle); }
    void touchStickAxes(float& x, float& y) const override { x = y = 0.0f; }
    void releasePlayerStick() override { releasePlayerAirplane(m_mode); }
    void resetPlayerControls() override { releasePlayerAirplane(m_mode); }

    std::array<int, kControlActionCount> started{};

private:
    GameMode& m_mode;
    RecordingTutorialHud& m_hud;
};

namespace {
int scancodeOf(ControlAction action)
{
    const ActionBinding& b = controls().binding(0, static_cast<int>(action));
    if (b.kind1 == BindingKind::Key)
        return Input::keyInfo(b.code1).keyCode;
    if (b.kind2 == BindingKind::Key)
        return Input::keyInfo(b.code2).keyCode;
    return -1;
}
}  // namespace

TutorialPilot::TutorialPilot(GameMode& mode, RecordingTutorialHud& hud)
    : m_handler(std::make_unique<Handler>(mode, hud))
{
    controls().setCurrentScheme(0);
    controls().setDefaults(0);
    controls().setHandler(m_handler.get());
    input().clearKeys();
}

TutorialPilot::~TutorialPilot()
{
    input().clearKeys();
    controls().setHandler(nullptr);
}

void TutorialPilot::hold(ControlAction action, bool down)
{
    const int code = scancodeOf(action);
    if (code < 0)
        return;
    const std::uint64_t bit = std::uint64_t{1} << static_cast<int>(action);
    if (down) {
        if (!(m_held & bit))
            input().keyDown(code);
        m_held |= bit;
    } else {
        if (m_held & bit)
            input().keyUp(code);
        m_held &= ~bit;
    }
}

void TutorialPilot::tap(ControlAction action)
{
    hold(action, true);
    m_tapped |= std::uint64_t{1} << static_cast<int>(action);
}

void TutorialPilot::releaseAll()
{
    for (int a = 0; a < kControlActionCount; ++a)
        hold(static_cast<ControlAction>(a), false);
}

void TutorialPilot::frame()
{
    controls().updateGameActions();
    input().endFrame();
    for (int a = 0; a < kControlActionCount; ++a)
        if (m_tapped & (std::uint64_t{1} << a))
            hold(static_cast<ControlAction>(a), false);
    m_tapped = 0;
}

int TutorialPilot::actionsStarted(ControlAction action) const
{
    return m_handler->started[static_cast<std::size_t>(action)];
}
