#pragma once
#include "entities/Target.h"
#include "gamedata/map/MapHooks.h"

#include <memory>
#include <span>
#include <vector>

class Airplane;
class CarrierDeck;
class MapObject;
class WeaponList;
struct UnitCfg;

// A ground or naval unit, building or base made from a map object and its
// unit record: its weapons, its health, and for ships and vehicles with a
// path the motion along it. It draws its map object's model; a carrier
// carries airplanes on its flight deck.
class GroundTarget : public Target, public IMapEntity {
public:
    // Ground targets of map objects come back this long after they fell.
    static constexpr float kRespawnDelay = 60.0f;

    // The unit record is looked up by the object's unit name; without one the
    // target is a plain unit of the object's kind.
    GroundTarget(IEntityHost& host, MapObject& object);
    GroundTarget(IEntityHost& host, MapObject& object, const UnitCfg* unit);
    ~GroundTarget() override;

    MapObject& mapObject() { return *m_object; }
    const MapObject& mapObject() const { return *m_object; }
    int mapObjectIndex = -1;
    int networkItem() const override { return mapItem >= 0 ? mapItem : mapObjectIndex; }
    const UnitCfg* unit() const { return m_unit; }
    // Mounts the unit record's weapons by name; returns how many were mounted.
    int mountUnitWeapons(const WeaponList& weapons);

    // A path to follow at the unit's speed; a closed path loops, an open one
    // is driven to its end and back.
    void setPath(std::vector<Vec3> points, bool loop);
    const std::vector<Vec3>& path() const { return m_path; }
    float pathSpeed() const { return m_pathSpeed; }
    void setPathSpeed(float speed) { m_pathSpeed = speed; }
    // Unit vector the unit faces (along its motion).
    const Vec3& facing() const { return m_facing; }
    const Mat4& matrix() const { return m_matrix; }

    void update(float dt) override;
    void onDestroyed(CrashCause cause) override;
    // Back where the map put it, at full health, alive.
    void resetState() override;
    bool isGroundTarget() const override { return true; }
    // Whether the sphere meets the model as it stands: its box, then its
    // collision triangles (a pass over a deck or under a bridge misses).
    bool modelContact(const Vec3& point, float radius) const override;
    bool matchesClass(TargetClass c) const override;
    int maxDrawClass() const override { return 3; }

    // IMapEntity
    bool isGone() const override { return lifeState() == LifeState::Destroyed; }
    int targetKind() const override { return static_cast<int>(kind()); }
    int targetVariant() const override;
    int team() const override { return Target::team(); }

    // Wreckage: its kind, the launch vector (a) and the size vector (b).
    int gibsKind() const;
    Vec3 wreckVelocity() const;
    const Vec3& wreckScale() const { return m_wreckScale; }

    // Damage the local player dealt (bases).
    float playerDamage = 0.0f;
    bool isCarrier() const { return kind() == TargetKind::Carrier; }
    // A carrier's flight deck; null for every other unit.
    CarrierDeck* deck() { return m_deck.get(); }
    // Airplanes a carrier holds.
    std::span<Airplane* const> carried() const;

    void dropReferencesTo(const Target& gone) override;

    float drawRadius() const override;

protected:
    void draw(const DrawView& view, DrawPass pass) override;

private:
    void place(const Vec3& position, const Vec3& facing);
    void followPath(float dt);

    MapObject* m_object;
    const UnitCfg* m_unit;
    Vec3 m_start;
    Vec3 m_startFacing;
    Vec3 m_facing{0.0f, 0.0f, -1.0f};
    Mat4 m_matrix;
    Vec3 m_wreckScale{1.0f, 1.0f, 1.0f};
    std::vector<Vec3> m_path;
    bool m_loop = true;
    int m_next = 0;
    int m_step = 1;
    float m_pathSpeed = 0.0f;
    std::unique_ptr<CarrierDeck> m_deck;
};
