#pragma once
#include "entities/EntityHandle.h"
#include "platform/Math.h"
#include "screens/hud/HudInsignia.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSprite;
class HudElementList;

// Which object a marker follows. Targets by handle, so a deleted target
// resolves to nothing; other entities (missiles) by a key the game's object
// reader looks up among the live ones. Never dereferenced directly.
struct HudMarkerRef {
    EntityHandle target;
    std::uintptr_t other = 0;
    bool operator==(const HudMarkerRef&) const = default;
    bool isEmpty() const { return target.isEmpty() && other == 0; }
};

// What a marker reads of its object in one frame.
struct HudObjectInfo {
    bool alive = true;
    bool hidden = false;        // hidden from the HUD
    bool attached = false;      // a part of a larger model
    bool notLockable = false;   // the viewed plane cannot lock it
    bool isPlayerPlane = false, isViewedPlane = false;
    bool targetsPlayer = false;     // its current target (a missile's too) is the player's plane
    bool playerTargetsIt = false;   // the player's plane targets it
    bool hitReport = false;         // hit since the last frame
    bool waypointReached = false;
    Vec3 position, velocity;
    Vec3 anchorOffset;              // the anchor is position + 2 x this
    float radius = 0.0f;
    float health = 1.0f, maxHealth = 1.0f;
    float radarFactor = -1.0f;
    int variant = -1;
    int playerColor = -1;           // network player color index, -1 none
    int flightState = 0;
    float flightStateTime = 0.0f;
};

// The game's objects as the markers see them; filled by the game and by tests.
class IHudObjects {
public:
    virtual ~IHudObjects() = default;
    // False when the object is gone.
    virtual bool read(const HudMarkerRef& ref, HudObjectInfo& out) const = 0;
    // The aim point for a projectile of the speed fired from the shooter.
    virtual Vec3 leadPoint(const HudMarkerRef& ref, const Vec3& shooter, float speed) const = 0;
    virtual std::u16string displayName(const HudMarkerRef&) const { return {}; }
};

// One weapon slot of the viewed plane, as the lock reticles read it.
struct HudLockWeapon {
    bool present = false, locking = false;
    int lockKind = 0;
    float delay = 0.0f;     // lock time still to run; locked at 0 or less
    std::array<HudMarkerRef, 4> targets{};
    int targetCount = 0;
    bool holds(const HudMarkerRef& r) const;
};

// What the markers, the radar and the sights read of the game in one frame.
struct HudMarkerFrame {
    const CameraMatrices* camera = nullptr;
    Vec3 cameraPosition;
    float cameraRoll = 0.0f;
    int screenWidth = 1, screenHeight = 1;
    float dt = 0.0f;
    double clock = 0.0;
    int gameType = 0;
    bool matchType = true;
    bool showNames = true, metric = false;
    bool hasPlayer = false, viewedIsPlayer = true, spectating = false;
    int playerTeam = 0;
    int playerFlightState = 0;
    Vec3 playerPosition, playerForward{0.0f, 0.0f, -1.0f};
    float playerSpeed = 0.0f;
    bool playerHasGun = false;
    float gunSpeed = 0.0f;
    Vec3 viewedPosition, viewedVelocity;
    int viewedTeam = 0;
    float viewedRangeFactor = -1.0f;
    bool lampOn = false;
    float lampA = 0.0f, lampB = 0.0f;
    std::array<HudLockWeapon, 8> weapons{};

    // 0 the player's team, 1 another team, 2 no team.
    int relationCode(int team) const;
    bool campaign() const { return gameType == 1 || gameType == 11; }
    bool lockMode() const { return playerFlightState == 2 || playerFlightState == 9; }
};

struct HudMarker {
    HudMarkerSide side;       // insignia, relation color, kind
    Color4 lockColorA, lockColorB;
    int lockA = -1, lockB = -1;    // weapon slots locking this object; -1 none
    float lockTimeA = 0.0f, lockTimeB = 0.0f;
    float pulse = 1.0f;
    Vec2 anchor, lead, screen;
    bool anchorShown = false;
    bool leadVisible = false, onTarget = false;
    float scale = 1.0f;
    float arrowAngle = 0.0f;
    bool highlighted = false, offScreen = false, notLockable = false, arrowShown = false;
    int playerColor = -1;
    int trailCount = 0;
    std::array<Vec2, 5> trail{};
    std::array<float, 5> trailDistance{};
    float trailTimer = 0.0f;
    Vec2 velocity;
    bool showOnScreen = true, showOnRadar = true;
    bool visible = false, radarVisible = false, flash = false;
    float flashTimer = 0.0f, threatTimer = 0.0f;
    float waypointScroll = 0.0f;
    bool always = false;
    HudMarkerRef object;
    int kind = -1, team = kTeamNoneHud;
    float leadQuality = 0.0f;
    HudObjectInfo info;       // the last frame's reading

    static constexpr int kTeamNoneHud = 255;
};

// The marker operations on the list's markers.
class HudMarkers {
public:
    static constexpr int kMissileKind = 16, kWaypointKind = 20;
    static constexpr float kHiddenDistanceSq = 1e10f;
    static constexpr float kLeadRangeSq = 3e6f;
    static constexpr float kOnTargetQuality = 0.6f;
    static constexpr float kFlashTime = 0.5f;
    static constexpr std::array<Color4, 5> kPlayerColors{
        {{255, 165, 0, 255}, {148, 0, 211, 255}, {156, 93, 4, 255}, {153, 255, 51, 255}, {51, 0, 255, 255}}};

    explicit HudMarkers(HudElementList& list) : m_list(list) {}

    // Updates the object's marker in place, or appends a new one (before the
    // trailing block of the player's missiles unless it is one of them).
    HudMarker& add(const HudMarkerRef& object, int kind, bool always, int team, const HudMarkerFrame& frame,
                   const IHudObjects& objects, const HudSideCodes* sides);
    void remove(const HudMarkerRef& object);
    // Moves the last marker before the trailing block of missile markers.
    void sort();
    void setAddFlag(const HudMarkerRef& object, bool on);
    void setDrawFlagA(const HudMarkerRef& object, bool on);
    void setDrawFlagB(const HudMarkerRef& object, bool on);
    void setHighlighted(const HudMarkerRef& object);
    HudMarker* find(const HudMarkerRef& object);
    // Relation colors and insignia again (sides may have changed).
    void refresh(const HudMarkerFrame& frame, const HudSideCodes* sides);
    // Every reticle lets go.
    void clearLocks();

    void updateTargets(HudMarker& m, const HudMarkerFrame& frame, const IHudObjects& objects);
    void computeLead(HudMarker& m, const HudMarkerFrame& frame, const IHudObjects& objects);
    void updateLocks(HudMarker& m, const HudMarkerFrame& frame);
    void updateRadar(HudMarker& m, const HudMarkerFrame& frame, const IHudObjects& objects);

    static float depthScale(float depth);
    static float edgeScale(float squaredDistance);
    static float leadWindow(float distance);
    static int arrowFrame(const HudMarker& m, const HudMarkerFrame& frame);
    // The label; empty when the marker shows none.
    static std::u16string labelText(const HudMarker& m, const HudMarkerFrame& frame, const std::u16string& name);
    static int healthPercent(float health, float maxHealth);
    static int radarIcon(int kind, int variant, bool campaign);

    std::vector<std::unique_ptr<HudMarker>>& list() { return m_markers; }
    const std::vector<std::unique_ptr<HudMarker>>& list() const { return m_markers; }

private:
    void placeOffScreen(HudMarker& m, const HudMarkerFrame& frame, Vec2 p, float w, float d2);
    HudElementList& m_list;
    std::vector<std::unique_ptr<HudMarker>> m_markers;
};

// The marker manager with the radar, the gunsight and the approach lamp.
class HudElementList {
public:
    static constexpr float kRadarReach = 20000.0f;
    static constexpr float kGunsightDistance = 1000.0f;
    static constexpr int kGunsightFrame = 118, kOwnPlaneFrame = 110;
    static constexpr int kRadarPlace = 24, kRadarRim = 124;
    static constexpr int kLampModule = 197, kLampGlint = 198;
    static constexpr Color4 kOwnPlaneColor{0, 0, 139, 255};

    static HudElementList& instance();
    HudElementList() : markers(*this) {}

    // Markers gone, zoom and gunsight back to their start (a game load).
    void reset();
    void clear();

    // ---- Per frame ----
    void update(const HudMarkerFrame& frame, const IHudObjects& objects);
    void updateSweep(float dt, Vec2 viewedVelocity);
    void updateGauge(const HudMarkerFrame& frame);
    void setGauge(float a, float b);
    void updateZoom();
    // Every marker's screen data.
    void updateTargets(const HudMarkerFrame& frame, const IHudObjects& objects);

    // ---- Radar ----
    // Small: inside the radar place less the rim; large: centred, 3/8 of the height.
    void layoutRadar(bool large, float placeX, float placeY, float placeW, float placeH, float rimWidth,
                     int screenWidth, int screenHeight);
    // A world point to radar pixels from the centre; false when out of range
    // or when the radius is not positive. fade falls from 1 at the rim to 0
    // at twice the radius.
    bool projectToRadar(Vec2 point, float distance, float radarFactor, Vec2& out, float& fade) const;
    // The approach lamp's opacity (0..1) at this point of its period.
    static float lampLevel(float period, float timeLeft);

    // ---- Drawing (inside a 2-D pass) ----
    void drawMarkers(CSprite& sheet, const HudMarkerFrame& frame, const IHudObjects& objects);
    void drawRadar(CSprite& sheet, const HudMarkerFrame& frame, float alertPhase, bool alert);
    void drawGunsight(CSprite& sheet, const HudMarkerFrame& frame);
    void drawTargetBox(CSprite& sheet, const HudMarkerFrame& frame, float x, float y);

    HudMarkers markers;
    bool enabled = true;
    // Radar
    Vec2 radarCentre;
    float radarRadius = 0.0f, radarScale = 0.0f;
    bool large = false;
    float zoom = 1.0f;
    int zoomLevel = -1;
    float sweepTime = 0.0f, sweepAngle = 0.0f;
    float heading = 0.0f;
    Vec2 rotation{1.0f, 0.0f};
    Vec2 viewedPosition, viewedVelocity;
    float rangeFactor = -1.0f;
    int viewedTeam = -1;
    // Lamp
    Color4 lampColor{255, 0, 0, 255};
    float lampPeriod = 0.0f, lampTimeLeft = 0.0f;
    // Gunsight
    Vec2 gunsight;
    bool gunsightHighlight = false;
    HudSideCodes sides;
    bool hasSides = false;

private:
    void drawMarker(CSprite& sheet, HudMarker& m, const HudMarkerFrame& frame, const IHudObjects& objects);
    void drawLock(CSprite& sheet, HudMarker& m, const HudMarkerFrame& frame);
    void drawArrow(CSprite& sheet, HudMarker& m, const HudMarkerFrame& frame);
    void drawLabel(HudMarker& m, const HudMarkerFrame& frame, const IHudObjects& objects);
    void drawWaypoint(CSprite& sheet, HudMarker& m, const HudMarkerFrame& frame);
    void drawRadarIcon(CSprite& sheet, const HudMarker& m, const HudMarkerFrame& frame, Color4 tint);
};

// A speed or altitude dial value, kept within one turn either way.
class HudDial {
public:
    void setValue(float value);
    float value() const { return m_value; }

private:
    float m_value = 0.0f;
};
