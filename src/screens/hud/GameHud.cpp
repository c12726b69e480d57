#include "screens/hud/GameHud.h"

#include "entities/EntityHandle.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapInfoCfg.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "screens/hud/HudMarkerFeed.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/MapHudLink.h"
#include "screens/hud/PlaneHud.h"

namespace {
constexpr Color4 kWarningColor{255, 80, 60, 255};
}  // namespace

GameHud& gameHud()
{
    static GameHud hud;
    return hud;
}

void GameHud::postMessage(int messageId) { HudMessageQueue::instance().pushCentre(messageId, kWarningColor, 0.0f); }

void GameHud::removeMessage(int messageId) { HudMessageQueue::instance().removeById(messageId); }

void GameHud::raiseHitIndicator()
{
    PlaneHud& hud = planeHud();
    hud.hitFlashTimer = kHitFlashTime;
    hud.shakeActive = true;
    hud.shakeTimeLeft = kHitShakeTime;
}

void GameHud::releaseAllButtons() { planeHud().releaseAll(); }

void GameHud::pushWithSound(int kind, int /*stringId*/, std::u16string_view text)
{
    HudMessageQueue::instance().pushWithSound(kind, text);
}

void GameHud::pushLong(int /*stringId*/, std::u16string_view text) { HudMessageQueue::instance().pushLong(text); }

bool GameHud::isMuted(const Target& airplane) const
{
    return HudMessageQueue::instance().players().contains(EntityHandle(&airplane));
}

namespace {

HudMarkerFrame markerFrameNow()
{
    HudMarkerFrame frame;
    readHudMarkerFrame(modeOf(currentMatch()), nullptr, 0.0f, frame);
    gameHudObjects().setMode(modeOf(currentMatch()));
    return frame;
}

}  // namespace

void GameHud::addMarker(const IGameEntity& entity, int kind, int team, bool drawn)
{
    HudElementList& list = HudElementList::instance();
    const HudMarkerRef ref = hudMarkerRef(entity);
    // The modes add a marker again whenever an entity changes; a goal the
    // mission marked keeps its mark, and a waypoint always has it.
    const HudMarker* existing = list.markers.find(ref);
    const bool always = kind == HudMarkers::kWaypointKind || (existing && existing->always);
    list.markers.add(ref, kind, always, team, markerFrameNow(), gameHudObjects(), list.hasSides ? &list.sides : nullptr);
    // A missile is followed on the radar; the player's own shows no marker.
    list.markers.setDrawFlagA(ref, drawn && kind != HudMarkers::kMissileKind);
    list.markers.setDrawFlagB(ref, drawn || kind == HudMarkers::kMissileKind);
}

void GameHud::removeMarker(const IGameEntity& entity) { HudElementList::instance().markers.remove(hudMarkerRef(entity)); }

Target* GameHud::aimAssistCandidate() const
{
    Target* best = nullptr;
    float bestScore = -1.0f;
    for (const auto& marker : HudElementList::instance().markers.list()) {
        if (!marker->visible || marker->offScreen || !marker->info.alive || marker->info.hidden)
            continue;
        Target* target = marker->object.target.resolve();
        if (!target || !target->isAlive() || target->isHiddenFromHud())
            continue;
        if (marker->leadQuality > bestScore) {
            bestScore = marker->leadQuality;
            best = target;
        }
    }
    return best;
}

void GameHud::clearLockDisplay() { HudElementList::instance().markers.clearLocks(); }

void GameHud::refreshInsignia()
{
    HudElementList& list = HudElementList::instance();
    list.markers.refresh(markerFrameNow(), list.hasSides ? &list.sides : nullptr);
}

void GameHud::markObjective(const IGameEntity& entity)
{
    HudElementList::instance().markers.setAddFlag(hudMarkerRef(entity), true);
}

void GameHud::pauseGame()
{
    // The same pause as the back key: the mode's own page, and in single
    // player the game held. The mode refuses while play is stopped or
    // another page is up.
    if (GameMode* mode = modeOf(currentMatch()))
        mode->pause();
}

namespace {
std::function<void(bool)>& chatOpener()
{
    static std::function<void(bool)> opener;
    return opener;
}
}  // namespace

void setChatOpener(std::function<void(bool typeAtOnce)> opener) { chatOpener() = std::move(opener); }

void GameHud::openChat(bool typeAtOnce)
{
    // The chat belongs to network matches; anywhere else the action pauses.
    GameMode* mode = modeOf(currentMatch());
    if (!mode || mode->isSinglePlayer() || !chatOpener()) {
        pauseGame();
        return;
    }
    planeHud().onPause();
    chatOpener()(typeAtOnce);
}

void GameHud::endBoost()
{
    if (GameMode* mode = modeOf(currentMatch()))
        if (Airplane* plane = mode->playerAirplane())
            plane->setCommandValue(false);
}

void startGameHud()
{
    PlaneHud& hud = planeHud();
    hud.setGame(&gameHud());
    GameMode* mode = modeOf(currentMatch());
    HudGameState state;
    readHudGameState(mode, state);
    hud.update(state);  // the game's kind decides the chat and squadron buttons
    hud.init(nullptr);
    hud.active = true;
    mapHudLink().attach(mode ? mode->world() : nullptr, HudMessageQueue::instance());
    HudElementList& markers = HudElementList::instance();
    markers.reset();
    markers.hasSides = false;
    if (mode && mode->mapRecord()) {
        const MapInfoCfg& map = *mode->mapRecord();
        markers.sides = {map.teamFriend, map.teamEnemy, map.teamNeutral};
        markers.hasSides = true;
    }
    // Entities the mode made before it had its HUD get their markers now.
    if (mode)
        for (const auto& e : mode->entities())
            if (e)
                gameHud().addMarker(*e, static_cast<int>(e->kind()), e->team(), e->isTargetable());
}

void finishGameHud()
{
    PlaneHud& hud = planeHud();
    HudGameState state;
    readHudGameState(modeOf(currentMatch()), state);
    // The flare counter (button 8) stays as the slots leave it, shown while
    // flares are left: hidden here, it would come back only with a weapon
    // mounted later, which most games never do, and the count would never show.
    hud.refreshWeaponSlots(state.player);
    hud.releaseAll();
    hud.onPlaneChanged();
    if (GameMode* mode = modeOf(currentMatch()))
        mode->onHudBuilt();
}
