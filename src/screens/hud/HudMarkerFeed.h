#pragma once
#include "screens/hud/HudMarkers.h"

class Airplane;
class GameMode;
class IGameEntity;
struct CameraMatrices;

// The marker reference of a game entity: targets by handle, missiles by a
// key looked up among the game mode's live missiles.
HudMarkerRef hudMarkerRef(const IGameEntity& entity);

// The game's objects as the markers read them, through the current game mode.
class GameHudObjects : public IHudObjects {
public:
    void setMode(const GameMode* mode) { m_mode = mode; }
    bool read(const HudMarkerRef& ref, HudObjectInfo& out) const override;
    Vec3 leadPoint(const HudMarkerRef& ref, const Vec3& shooter, float speed) const override;
    std::u16string displayName(const HudMarkerRef& ref) const override;

private:
    const IGameEntity* resolve(const HudMarkerRef& ref) const;
    const GameMode* m_mode = nullptr;
};

// The one reader of the running game.
GameHudObjects& gameHudObjects();

// The plane the HUD watches: the one the game camera follows in the kill cam
// or a cinematic view (modes 10 and 11) while it is still in play, else the
// player's. Null without either.
const Airplane* watchedAirplane(const GameMode* mode);

// The roll of a camera's view: positive while its right side dips.
float cameraRollOf(const CameraMatrices& camera);

// What the markers read of the game this frame: the camera (null: none), the
// player's plane, the watched plane, its weapons' locks and the approach lamp.
void readHudMarkerFrame(const GameMode* mode, const CameraMatrices* camera, float dt, HudMarkerFrame& out);
