#pragma once
#include "effects/world/Parachute.h"
#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "entities/ai/TargetAI.h"
#include "entities/aircraft/Squadron.h"
#include "entities/weapons/MissileSet.h"
#include "gamedata/map/MapHooks.h"
#include "modes/GameType.h"
#include "modes/MatchEvents.h"
#include "modes/MatchOutbox.h"
#include "modes/ModeHooks.h"
#include "modes/ModeServices.h"
#include "modes/ServerData.h"
#include "platform/Settings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Airplane;
struct DrawView;
class GameWorld;
#include "modes/IGameListener.h"
struct MatchConnections;
class IMenuFlight;
class Road;
struct JoinRequest;
struct MatchReport;
struct PlayerRecord;
struct PlayerRecordLimits;
struct MapInfoCfg;

// The rules object of one match, mission, tutorial or menu flight. It owns
// the level's world and every entity in it, runs the frame, applies damage,
// deaths and respawns, and posts its events to the outbox the network game
// drains; a peer's events come in through applyPeerEvent. Kinds of game
// override the virtual operations; each kind frees its own members.
//
// Entities are never deleted inside a damage call, a missile's end or a
// weapon update: removeEntity unlinks them at once and deletes them after the
// frame's update (or when the level is cleared).
class GameMode : public IEntityHost {
public:
    static constexpr float kRememberTargetTime = 15.0f;
    static constexpr float kRespawnStallTime = 5.0f;
    static constexpr float kSpawnHeight = 2000.0f;
    static constexpr float kSpawnCircle = 10000.0f;
    static constexpr float kPlayerLockRange = 3000.0f;
    static constexpr float kDefaultRespawnDelay = 5.0f;
    static constexpr float kPlayerFactorWithoutWeapon = 0.333f;

    explicit GameMode(GameType type);
    ~GameMode() override;
    GameMode(const GameMode&) = delete;
    GameMode& operator=(const GameMode&) = delete;

    GameType gameType() const { return m_type; }
    bool isMatchType() const { return ::isMatchType(m_type); }

    // Network role, set by the game start before the level loads.
    void setNetwork(bool networkGame, bool hosting, bool online);
    bool isNetworkServer() const { return m_networkGame && m_hosting; }
    bool isNetworkClient() const override { return m_networkGame && !m_hosting; }
    bool isSinglePlayer() const { return !m_networkGame; }
    bool isOnline() const { return m_online; }
    // The name the network match goes by, given by the network side at its start.
    void setServerName(std::u16string_view name) { m_serverName = name; }
    // The network game the mode reports to; the match gives it with the
    // other connections, and only leaving the network game takes it away.
    IGameListener* listener() const { return m_listener; }
    // The events of the match not yet sent; filled only while a network game listens.
    MatchOutbox& outbox() { return m_outbox; }
    const MatchOutbox& outbox() const { return m_outbox; }
    // A chat line of the player for the other players, sent at once.
    void postChat(std::u16string_view text);
    // A peer's event applied to this side's match. Nothing it does is posted
    // to the outbox: the peer knows already. Returns the entity the event
    // named or made, null when nothing applied (unknown ids, a record that
    // does not decode, an event this kind of game has no use for).
    Target* applyPeerEvent(const PeerEvent& event);
    // The player has left the network game (disconnected, or off to the
    // result page): the mode reports to it and asks it no more.
    void leaveNetworkGame() { m_listener = nullptr; }
    // The connections the match gave; every one does nothing for a mode that no match owns.
    const ModeHooks& hooks() const { return m_hooks; }

    virtual void setMapRecord(const MapInfoCfg* record) { m_mapRecord = record; }
    const MapInfoCfg* mapRecord() const { return m_mapRecord; }

    // Level. startLevel loads the map record's world (false, with no world,
    // when there is no record or it does not load). clearLevel deletes every
    // entity, missile, road and the world; it may run any number of times.
    virtual bool startLevel();
    // The level start's achievement events (with the first campaign mission's own).
    void countLevelStartEvents(bool firstMission);
    // The level is the first mission of the first campaign.
    virtual bool opensFirstMission() const { return false; }
    virtual void clearLevel();
    GameWorld* world() { return m_world.get(); }
    const GameWorld* world() const { return m_world.get(); }
    // Takes a world built elsewhere (tests, tools).
    void setWorld(std::unique_ptr<GameWorld> world);

    // One frame of the game at dt seconds.
    virtual void update(float dt);
    // A frame as the game runs it: update, then whatever the frame posted
    // (the kinds' rules run after the network game's send phase) goes out.
    void runFrame(float dt);

    // Entities. addPlayerAirplane takes any entity into the world and play;
    // it returns the entity, or null (and drops it) when it has no id.
    virtual Target* addPlayerAirplane(std::unique_ptr<Target> entity, bool relay);
    // Unlinks the entity from every list and clears every reference to it;
    // the caller gets it back (null when the mode did not hold it).
    virtual std::unique_ptr<Target> removePlayerAirplane(Target& entity);
    // Unlinks the entity now and deletes it after the frame.
    void removeEntity(Target& entity);
    virtual void deleteAirplane(Target& entity);
    // Entities waiting for deletion at the end of the frame.
    int pendingDeletions() const { return static_cast<int>(m_doomed.size()); }

    std::span<const std::unique_ptr<Target>> entities() const { return m_entities; }
    std::span<Target* const> activeTargets() const override { return m_active; }
    std::span<Target* const> respawnQueue() const { return m_respawnQueue; }
    std::span<Weapon* const> weapons() const { return m_weapons; }
    std::span<Target* const> runways() const { return m_runways; }
    std::span<Target* const> tunnels() const { return m_tunnels; }
    const MissileSet& missiles() const { return m_missiles; }
    // The waypoints the HUD marks: entities of the mode's own that are not
    // targets. The HUD reads a waypoint marker only while it is listed here.
    std::span<const IGameEntity* const> waypoints() const { return m_waypoints; }
    static constexpr int kWaypointMarkerKind = 20, kNoTeam = 255;
    void showWaypointMarker(const IGameEntity& waypoint);
    void hideWaypointMarker(const IGameEntity& waypoint);
    int roadCount() const { return static_cast<int>(m_roads.size()); }
    // Missiles registered and ended since the mode was made.
    int missilesRegistered() const { return m_missilesAdded; }
    int missilesUnregistered() const { return m_missilesRemoved; }

    Airplane* playerAirplane() { return m_playerAirplane; }
    const Airplane* playerAirplane() const override { return m_playerAirplane; }
    // The airplane the view is on: the one the kill cam or cinematic view
    // follows, else the player's.
    const Target* cameraAirplane() const;
    virtual void setPlayerAirplane(Airplane* airplane);
    const Missile* playerMissile() const { return m_playerMissile; }
    const Target* playerLockTarget() const { return m_playerLockTarget; }
    const Target* nearestAirplane() const { return m_nearestAirplane; }
    // The entity the player's guns are helped toward, and the unit direction
    // from the player's airplane to its lead point; null when none.
    const Target* aimAssistTarget() const { return m_aimAssistTarget; }
    const Vec3& aimAssistDirection() const { return m_aimAssistDirection; }

    // The missile camera: while the player holds a trigger, the newest missile
    // it launched takes the view after kMissileCameraDelay; letting go of every
    // trigger gives the view back.
    static constexpr float kMissileCameraDelay = 0.4f;
    void setTriggerHeld(int group, bool held);
    const Missile* missileCameraSubject() const { return m_cameraSubject; }
    // Camera commands: a point views 0 and 1 turn toward (copied when asked,
    // blended over duration), the subject view's object, a path view.
    void setCameraTarget(const Vec3* point, bool copy, float duration);
    void setCameraSubject(const IGameEntity* subject, float value);
    void createCameraView(const Vec3* points, int count, float speed);

    // Draw class of an entity at the squared camera distance: 1 near, 2 and 3
    // by the scene's two far distances, 4 beyond.
    int drawClassFor(float distanceSq) const;
    // After the camera has moved: each entity's visual motion (propellers,
    // flag cloth), then its draw class from the new camera distance.
    void updateDistanceClasses(float dt);
    // The first weapon of the player's airplane that has a bomb marker draws
    // it; false when none did.
    bool drawBombMarker(const DrawView& view);

    // Flags.
    bool playStopped = false;
    bool controlsFrozen = false;
    bool inputEnabled = true;
    bool damageEnabled = true;
    bool respawnStalled = false;
    bool teamChangeAllowed = false;
    bool autopilot = false;
    float playerHitCooldown = 0.0f;
    // Damage the player deals is divided by the first, damage taken multiplied by the second
    // (campaign missions only); the third scales the AI of the map's objects.
    float difficultyScales[3] = {1.0f, 1.0f, 1.0f};
    int difficulty = 1;
    // The profile rank kill points compare against.
    int playerRank = 0;
    // While set, losing the player's airplane does not fail a campaign mission.
    bool playerLossAllowed = false;

    // The draw-time refresh before the HUD draws (a mission's goals and targets).
    virtual void drawOverlay() {}
    // Drawn over the HUD in a 2-D pass of its own (the tutorials' pointers).
    virtual void drawHud() {}
    // The player tapped the HUD's notice.
    virtual void tutorialHudHook() {}
    // What a lesson has the player shoot at now; null outside the lessons.
    virtual const Target* lessonTarget() const { return nullptr; }
    // The HUD was built (or reset) for this mode at the end of the load: a
    // kind that hides parts of it does so again here.
    virtual void onHudBuilt() {}
    // A campaign mission ends, won or failed with the reason's text id
    // (0 or below: the general failure text). Other kinds have no missions.
    virtual void endMission(bool /*won*/, int /*reasonTextId*/) {}
    // The level's checkpoint: saved by a trigger, laid over the level's start
    // with value 1 (0 starts fresh; false when nothing was resumed).
    virtual void saveCheckpoint() {}
    virtual bool resumeCheckpoint(int /*value*/) { return false; }
    // Set by the start before the level: 1 lays a mission's checkpoint over
    // its start, anything else starts fresh. Only campaign missions resume.
    virtual void setResumeValue(int /*value*/) {}
    // The plane chosen in the menus, for the kinds whose level names its own.
    virtual void setChosenPlane(int /*planeId*/) {}

    // What the pages, the HUD and net read of the match, refilled in place;
    // each kind adds its own section. report() is the same as a new value.
    virtual void fillReport(MatchReport& out) const;
    MatchReport report() const;
    // The match ends at once, scored, with any network game torn down (the
    // player quit or went to another game). Nothing outside matches.
    virtual void endMatch() {}
    // A single-player match whose kind placed no airplane for the local
    // player gives them one. Nothing outside matches.
    virtual void ensureLocalPlayer() {}
    // The showcase commands of the flight behind the menus; null in every other game.
    virtual IMenuFlight* menuFlight() { return nullptr; }

    // Damage, deaths and respawns.
    virtual void damageAirplane(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                                const WeaponCfg* weapon, bool force);
    void killAirplane(Target& victim, float damage);
    void applyAreaDamage(Target* owner, const Vec3& centre, float radius, float damage, const WeaponCfg* weapon);
    virtual void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause);
    virtual void onAirplaneDestroyedNoKiller(Target& victim, Target* other, CrashCause cause);
    virtual int killPoints(const Target& victim) const;
    // The achievement events of a death: the player's own, and the player's
    // kills by the victim's kind. The death handlers of the kinds run it once a death.
    void countKillEvents(const Target* killer, const Target& victim);
    // A kill of the player's airplane in an online match.
    void countOnlineKill(const Target* killer);
    // Out of play: inactive, unlocked, forgotten by weapons, missiles and AI.
    void takeOutAirplane(Target& entity);
    void eliminateAirplane(Target& entity);
    // Back into play after delay seconds (at once for 0 or less), at position
    // or, when null, at the entity's spawn point.
    virtual void respawnAirplane(Target& entity, float delay, const Vec3* position);
    // The same without telling peers, for callers whose own message carries
    // the comeback (or that build the match before anyone joined).
    virtual void respawnQuietly(Target& entity, float delay, const Vec3* position);
    virtual void respawnEliminated(Target& entity);
    virtual void updateRespawns(float dt);
    virtual float respawnDelay() const { return kDefaultRespawnDelay; }
    bool isWaitingOrOut(const Target& entity) const;
    virtual void relayCrash(Target& entity, CrashCause cause);
    // The pilot bails out; nothing for an inactive airplane.
    virtual void ejectPilot(Airplane& airplane, float value, bool force);

    // Missiles. The mode owns them through its missile set; ended missiles
    // are unregistered (removeMissile) before they are deleted.
    MissileSet& missileSet() { return m_missiles; }
    // Builds and registers the missile of a relayed launch; false when
    // nothing was launched (no owner, unknown weapon id, no matching slot).
    virtual bool launchWeaponById(int weaponId, Target* owner, Target* target, const Vec3& position);

    // Spawning and airplanes.
    virtual void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const;
    // An airplane of the plane id (the first plane for an unknown id) in the
    // paint (the plane's default paint when null); null when no plane loaded
    // or no id is free.
    // With aiSkill above 0 an AI pilot of that skill flies it; squadron may be null.
    virtual Airplane* createAirplane(const PlanePaint* paint, int planeId, int team, float aiSkill,
                                     Squadron* squadron, bool local);
    const PlanePaint& paintOf(const Target& entity) const;

    // Network player records, decoded (the match layer holds the bytes);
    // the kinds add what their own map entities carry (a flag's place, a base's health).
    virtual void fillPlayerRecord(const Target& entity, PlayerRecord& out) const;
    // What a received record or join request is checked against: this world's items and weapons.
    PlayerRecordLimits recordLimits() const;
    // Applies a received record: a new airplane (or, with ownRecord, the
    // player's), or the map entity it names. Null, with nothing changed, for
    // a record that names nothing this side has.
    virtual Target* addNetworkPlayer(const PlayerRecord& record, bool ownRecord);
    // The host's side of a join: the joining player's airplane, in play at
    // once, in the team (-1: the smaller team). Null, with nothing changed,
    // when the plane is unknown or no id is free.
    virtual Airplane* addServerPlayer(const JoinRequest& request, int team);
    // The match state the host sends its clients (the kinds fill their
    // layout; None: the mode sends nothing) and its clients apply.
    virtual ServerData::Layout serverDataLayout() const { return ServerData::Layout::None; }
    virtual void fillServerData(ServerData& /*out*/) const {}
    virtual void applyServerData(const ServerData& /*data*/) {}
    // The host's word on a network match; nothing in modes that play none.
    // An airplane event: destroyed (flag bit 2), else out (respawnTime -1)
    // or back after respawnTime at position.
    virtual void onAirplaneEvent(Target& /*victim*/, Target* /*killer*/, CrashCause /*cause*/,
                                 std::uint8_t /*flags*/, float /*respawnTime*/, const Vec3& /*position*/,
                                 const Quat& /*orientation*/) {}
    // The match ended; the next starts after countdown seconds.
    virtual void onMatchEnded(float /*countdown*/) {}
    // Restart: nobody respawns, play resumes.
    virtual void restartMatch() {}
    // A flag event (0 taken, 1 captured, 2 returned, 3 dropped) for the flag entity.
    virtual void applyFlagEvent(int /*event*/, Target& /*flag*/, Target* /*player*/) {}
    // The match's weapon rule (its low byte): 1 turns the guns of the first
    // three slots into missiles, 2 the other weapons into guns; 0 keeps all.
    int weaponRule = 0;
    void applyWeaponRule(Target& entity) const;

    // Target searches. Distances come from this frame's distance table.
    struct SearchOptions {
        std::span<Target* const> exclude;
        float range = 0.0f;  // 0: unlimited
        TargetClass targetClass = TargetClass::Any;
        std::span<const int> mapItems;  // only entities placed from these items (empty: any)
        bool skipHidden = true;
        std::vector<Target*>* collect = nullptr;  // every match appended here; the result is then null
    };
    virtual Target* findTarget(const Target* searcher, const SearchOptions& options);
    Target* findTargetDefault(const Target* searcher, float range, TargetClass targetClass);
    enum class TeamRule : int { Any = 0, Own = 1, Enemy = 2 };
    virtual Target* findNextTarget(const Target* searcher, std::span<Target* const> exclude, int kind, TeamRule rule,
                                   float range);
    void lockPlayerTarget();
    // Entities of the list in order: airplanes or the others, kinds excluded,
    // optionally only those in play or waiting to come back.
    const std::vector<Target*>& buildSelection(bool airplanes, std::span<const int> excludeKinds, bool liveOnly);
    Target* findPlayerAirplane(int entityId) const;
    static Vec3 leadPointPrecise(const Vec3& shooter, const Target& target, float projectileSpeed);
    static Vec3 leadPointFast(const Vec3& shooter, const Target& target, float projectileSpeed);

    // Squadrons. The mode owns them; a removed squadron is forgotten by every member.
    Squadron* addSquadron(std::unique_ptr<Squadron> squadron);
    void removeSquadron(Squadron& squadron);
    std::span<const std::unique_ptr<Squadron>> squadrons() const { return m_squadrons; }
    void setEntitySquadron(Target* entity, Squadron* squadron);
    void setSquadronLeader(Target* entity, Squadron* squadron);
    // The player's squadron command 0..4 (0 formation, 1 attack, 3 and 4
    // defend, 2 the next order in turn); only for local airplanes.
    virtual void setSquadronOrder(Target& entity, int command);
    // In single player, the order of the squadron the player leads; else -1.
    int playerGroupIndex() const;

    // AI. attachAI keeps a controller the airplane has unless replace is set.
    virtual void attachAI(Airplane& airplane, float skill, bool replace, AIKind kind = AIKind::Pilot);
    virtual void detachAI(Airplane& airplane);
    // The player's autopilot on or off as the autopilot flag says.
    void reapplyPlayerAutopilot();
    void setAIParameter(Target& entity, int index, float value);

    // Control.
    virtual void applyAirplaneInput(Airplane& airplane, int input, float value);
    // The stick of the airplane: nose up, turn (left > 0), roll (left wing down > 0).
    virtual void setAirplaneVector(Airplane& airplane, const Vec3& stick);
    virtual void setAirplaneVectorXYZ(Airplane& airplane, float noseUp, float turn, float roll);
    // Whether the player's stick and throttle reach the airplane this frame
    // (moved: any of them off centre). In play only without the autopilot;
    // the autopilot key hands the airplane back.
    virtual bool playerStickFlies(Airplane& airplane, bool moved);
    virtual void changeTeam(Target& entity, int team);
    // Out of play for good; the host moves it to the team and brings it back
    // after a while (not in last man standing), a client asks the host to.
    virtual void removeAirplaneForGood(Target& entity, int team);
    // An airplane's life state as the host saw it change; the host tells
    // its peers. Nothing in the kinds without matches.
    virtual void onAirplaneStateChanged(Target& /*airplane*/, int /*state*/, Target* /*other*/, int /*a*/,
                                        int /*b*/)
    {
    }
    virtual void setTargetable(Target& entity, bool on);
    void repairAirplane(Target& entity, float amount);
    void setAirplaneFlares(Airplane& airplane, int count);
    void relayFlares(Airplane& airplane);
    int playerColorCode(int team) const;

    // IEntityHost
    float groundHeightAt(float x, float z) const override;
    Vec3 clampPointToTerrain(float x, float z) const override;
    float waterLevelAt(float x, float z) const override;
    Runway* findRunwayAt(const Vec3& point, float margin) override;
    Target* findGroundTargetAt(const Vec3& point, float margin) override;
    // A ship's flight deck under the point; the props through the scene.
    CarrierDeck* findCarrierDeckAt(const Vec3& point) override;
    bool hitsProp(const Vec3& point, float radius) const override;
    // A prop within half the entity's radius of it, for entities that crash into props.
    bool checkPropCollision(const Target& entity) const;
    void addWeapon(Weapon& weapon) override;
    void removeWeapon(Weapon& weapon) override;
    void damageTarget(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                      const WeaponCfg* weapon) override;
    void countEvent(const Airplane& airplane, int eventId) override;
    void onFlightState(Airplane& airplane, int state, float time) override;
    void launchFlaresFor(Airplane& airplane) override;
    void onPlayerDamaged(Airplane& airplane, float damage, int weaponType) override;
    void addMissile(std::unique_ptr<Missile> missile) override;
    void onGunShots(const Target& shooter, int fired, int hits) override;
    void onMissileHit(const Missile& missile) override;
    void onWeaponHit(Target& victim, Target* attacker, int weaponId) override;

    // Scene, HUD texts, overlays and end pages (null members do nothing).
    const ModeServices& services() const { return m_services; }

    // Round: clocks, counters, the weather transition and the round's flags back to their start.
    virtual void resetRound();
    // The map's runways, roads and tunnels as entities, and its effect points started.
    void createRunways();
    void createRoads();
    void createTunnels();
    void createEffectDummies();
    // Every kind's world set-up: the above and the map's own ground units and ships.
    void createMapEntities();
    // A map's effect (a .psc description) standing at a point for the level.
    void spawnMapEffect(const std::string& effect, const Vec3& position);
    // The player's guns full at the level's start.
    void refillPlayerWeapons();

    // Pause: false, with nothing changed, while play is stopped, pausing is
    // blocked or an overlay is open or queued.
    bool pause();
    virtual PauseMenu getPauseMenu() const { return PauseMenu::Campaign; }
    // The comic of the name in the pause overlay; false when its record does not load.
    bool showComic(std::string_view name);
    // Stops every sound; the end of a match, a won mission or a finished tutorial.
    void playEndMusic();

    // Weather: a transition to the mode over duration seconds (nothing when
    // the scene shows that mode already); updateWeather runs it each frame.
    void startWeather(int mode, float duration);
    void updateWeather(float dt);
    int weatherTarget() const { return m_weatherTarget; }
    float sunValue() const { return m_sunValue; }
    void setSunValue(float value);

    // Ejected pilots: the list owns them, updates them with the game and
    // deletes each once its animation is done; the scene draws them.
    void addParachute(std::unique_ptr<Parachute> parachute);
    void updateParachutes(float dt);
    // A parachute has come down, before it is deleted; its owner link still
    // names the airplane the pilot left, when that is still in the game.
    virtual void onParachuteFinished(Parachute&) {}
    // Pass 1: the pilots, seats and chutes; pass 0: canopies and flames.
    void drawParachutes(int pass) const;
    int parachuteCount() const { return static_cast<int>(m_parachutes.size()); }

    // Level 2 hard (the map's values doubled), 0 easy; others change nothing.
    void setDifficulty(int level);

    // The HUD line of an event (kinds below) about victim and, when given, the other party.
    enum class EventKind : int {
        ShotDown = 0, Base = 1, FlagTaken = 2, FlagCaptured = 3, FlagDropped = 4,
        FlagReturned = 5, FlagReturnedTeam = 6, TeamChange = 7, Ejected = 9
    };
    void postEventText(EventKind kind, const Target& victim, const Target* other);
    // A pilot name wrapped in the colour code of its team as the player sees it, cut to maxLength.
    std::u16string colouredName(const Target& entity, std::size_t maxLength) const;

protected:
    // The frame's passes, in the order update runs them.
    virtual void updateProximity();
    virtual void updateEntities(float dt);
    virtual void updateSquadrons();
    virtual void updateMissiles(float dt);
    // The HUD's incoming-missile warning while a missile homes on the player's airplane.
    void updateIncomingWarning();
    void updateFlightHint();
    virtual void updateWeapons(float dt);
    virtual void updateCameraFollow(float dt);
    void updateAimAssist();
    void chooseAimAssistTarget();
    // Deletes what removeEntity set aside.
    void deletePending();

    // Appends the event while a network game listens and no peer event is being applied.
    void post(MatchEvent event);
    bool posting() const { return m_listener && m_listener->wantsEvents() && !m_applyingPeerEvent; }
    // The airplane's joining, with its player record as it is now.
    void postAdded(const Target& entity);
    // The airplane's score record for the audience (0 all, 1 its owner, 2 all but its owner).
    void postScoreEvent(const Target& airplane, int kind, int audience);
    // respawnTime in seconds, -1 when out for good; killer may be null.
    void postDestroyed(const Target& victim, const Target* killer, CrashCause cause, int flags, float respawnTime);
    // takeOutAirplane and createAirplane without their events.
    void withdrawFromPlay(Target& entity);
    Airplane* buildAirplane(const PlanePaint* paint, int planeId, int team, float aiSkill, Squadron* squadron,
                            bool local);

    // A peer's events of the kinds that differ by the kind of game; the
    // defaults do nothing and return null.
    virtual Target* applyPeerDestroyed(const peerevent::Destroyed& event);
    virtual Target* applyPeerFlag(const peerevent::Flag& event);
    virtual Target* applyPeerMatchEnd(const peerevent::MatchEnd& event);
    virtual Target* applyPeerRestart();
    virtual Target* applyPeerModeValue(const peerevent::ModeValue& event);
    virtual Target* applyPeerTeamFlag(const peerevent::TeamFlag& event);

    void bringIntoPlay(Target& entity);
    // The mission statistics' enemy (team 1) and friendly (team 0) airplanes.
    static void countAirplaneOfTeam(const Target& entity, int team, int delta);
    void forgetEverywhere(Target& entity);
    // Every missile in flight ended and unregistered, then deleted.
    void removeAllMissiles();
    void clearEntities();

    GameType m_type;
    bool m_networkGame = false;
    bool m_hosting = false;
    bool m_online = false;
    std::u16string m_serverName;
    IGameListener* m_listener = nullptr;
    MatchOutbox m_outbox;
    bool m_applyingPeerEvent = false;
    bool m_incomingWarning = false;
    bool m_flightHintShown = false;
    ModeHooks m_hooks;
    const MapInfoCfg* m_mapRecord = nullptr;
    std::unique_ptr<GameWorld> m_world;

    std::vector<std::unique_ptr<Target>> m_entities;
    std::vector<Target*> m_active;
    std::vector<Target*> m_respawnQueue;
    std::vector<Weapon*> m_weapons;
    std::vector<Target*> m_runways;
    std::vector<Target*> m_tunnels;
    std::vector<Target*> m_selection;
    std::vector<std::unique_ptr<Road>> m_roads;
    std::vector<std::unique_ptr<Squadron>> m_squadrons;
    std::vector<std::unique_ptr<Target>> m_doomed;
    MissileSet m_missiles{*this};
    std::vector<const IGameEntity*> m_waypoints;
    int m_missilesAdded = 0;
    int m_missilesRemoved = 0;

    Airplane* m_playerAirplane = nullptr;
    const Missile* m_playerMissile = nullptr;
    Target* m_playerLockTarget = nullptr;
    Target* m_nearestAirplane = nullptr;
    Target* m_aimAssistTarget = nullptr;
    Vec3 m_aimAssistDirection;
    const Missile* m_cameraSubject = nullptr;
    float m_cameraDelay = 0.0f;
    unsigned m_triggersHeld = 0;
    int m_findCursor = 0;
    // What a player record carries beside the entity, by entity id.
    struct PlayerInfo {
        PlanePaint paint;
        std::array<std::int32_t, 4> values{};
    };
    std::array<PlayerInfo, 256> m_playerInfo{};

    // Collisions between entities; the cause found and the second party of a pair.
    CrashCause collisionCause(Target& entity, Target*& other) const;
    // The stall alarm, the engine loops, the incoming-missile warning, the
    // nearest missile's cruise and the rain with its thunder.
    void updateFlightSounds();
    void updateMissileSounds();
    // Splats on the view from a missile passing the camera.
    void splatPassingMissile(const Missile& missile);
    void updateRainSound(bool raining, float dt);
    // Landmark triggers reached by the player's airplane.
    void checkTriggers();
    // A match's or tutorial's map triggers: its music, sounds and effects.
    void runMapScript(float dt);

    // What a match's or tutorial's map triggers may ask of the mode: the
    // player's place and the map's effects. The campaign answers them all itself.
    class MatchMapHost : public IMapHost {
    public:
        explicit MatchMapHost(GameMode& mode) : m_mode(mode) {}
        bool playerPosition(Vec3& position, float& radius) const override;
        void spawnEffect(const std::string& effect, const Vec3& position) override
        {
            m_mode.spawnMapEffect(effect, position);
        }

    private:
        GameMode& m_mode;
    };
    MatchMapHost m_mapHost{*this};

    ModeServices m_services;
    float m_sunValue = 1.0f;
    float m_weatherElapsed = 0.0f;
    float m_weatherDuration = 0.0f;
    int m_weatherTarget = -1;
    float m_thunderTimer = 0.0f;
    std::vector<std::unique_ptr<Parachute>> m_parachutes;

private:
    // An entity leaving for another team goes down where it flies, counted as nothing.
    void takeDownForTeamSwitch(Target& entity);
    Target* applyPeer(const PeerEvent& event);
    friend class Match;
    // The match's connections, given once when the match is made.
    void connect(const MatchConnections& connections);

    Target* applyAirplaneRecord(const PlayerRecord& record, bool ownRecord);
    void fitWeapons(Target& entity, const std::array<int, 3>& weaponIds);
    void onMissileEnded(const MissileSet::Ending& ending);
};
