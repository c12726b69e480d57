#pragma once
#include "modes/ModeHooks.h"
#include "screens/hud/HudGameState.h"

#include <functional>

// The HUD as the game sees it: the game mode's HUD hook filled with the one
// PlaneHud and its message queue, and the HUD's actions on the current game
// mode and the screens.
class GameHud : public IModeHud, public IHudGame {
public:
    static constexpr float kHitFlashTime = 0.25f;
    static constexpr float kHitShakeTime = 0.4f;

    // IModeHud
    void postMessage(int messageId) override;
    void removeMessage(int messageId) override;
    void raiseHitIndicator() override;
    void releaseAllButtons() override;
    void pushWithSound(int kind, int stringId, std::u16string_view text) override;
    void pushLong(int stringId, std::u16string_view text) override;
    bool isMuted(const Target& airplane) const override;
    void addMarker(const IGameEntity& entity, int kind, int team, bool drawn) override;
    void removeMarker(const IGameEntity& entity) override;
    void clearLockDisplay() override;
    void refreshInsignia() override;
    // The target's marker becomes a goal: always shown, and counted by the
    // campaign pause's objectives.
    void markObjective(const IGameEntity& entity) override;
    Target* aimAssistCandidate() const override;

    // IHudGame
    void pauseGame() override;
    void openChat(bool custom) override;
    void endBoost() override;
};

// The chat page over a network match, set by the menus (the argument asks
// for the keyboard at once). Empty: the chat action pauses.
void setChatOpener(std::function<void(bool typeAtOnce)> opener);

// The one link between the game and the HUD.
GameHud& gameHud();
// The game screen's load step: the HUD built (or reset) for the current game
// mode, the mode given its HUD hook.
void startGameHud();
// The end of the load: the weapon-slot buttons and the control scheme of the player's plane.
void finishGameHud();
