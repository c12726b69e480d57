#pragma once
#include "platform/Math.h"

#include <span>
#include <vector>

class Airplane;
class Model;
class Target;

// The flight deck of a ship that carries airplanes: a box in the ship's
// frame (from its model's "deck" node), the airplanes standing on it, and the
// recovery and catapult launch. The ship's owner keeps the deck and tells it
// the ship's heading; the deck moves its airplanes with the ship.
class CarrierDeck {
public:
    // Slower than this and low over the deck an airplane is caught by the wires.
    static constexpr float kRecoverySpeed = 90.0f;
    static constexpr float kCatchHeight = 6.0f;
    static constexpr float kLaunchSpeed = 120.0f;

    // Without a model (or a "deck" node) the deck is 40 x 250 units, 12.5 up.
    CarrierDeck(Target& ship, const Model* model);
    ~CarrierDeck();
    CarrierDeck(const CarrierDeck&) = delete;
    CarrierDeck& operator=(const CarrierDeck&) = delete;

    Target& ship() { return *m_ship; }
    const Target& ship() const { return *m_ship; }
    // Radians about the vertical; the bow points along (-sin, 0, -cos).
    void setHeading(float heading) { m_heading = heading; }
    float heading() const { return m_heading; }
    // World height of the deck's top.
    float deckHeight() const;
    // The point over the deck (within margin), in plan.
    bool isOverDeck(const Vec3& point, float margin) const;

    // Catches an airplane that comes in low and slow over the deck: it stands
    // on the deck, landed on a carrier. False, nothing changed, otherwise.
    bool recover(Airplane& airplane);
    // Puts an airplane on the deck at a spot (tests, spawning on the ship).
    void park(Airplane& airplane, const Vec3& localSpot);
    // The catapult: off the bow at launch speed, flying again.
    void launch(Airplane& airplane);
    // The airplane leaves the deck without a launch (destroyed, respawned).
    void release(Airplane& airplane);
    // Every airplane leaves the deck (the ship is lost).
    void releaseAll();
    // A target leaving the world: off the deck if it stood there.
    void forget(const Target& gone);
    std::span<Airplane* const> carried() const { return m_carried; }

    // Keeps the carried airplanes on the deck as the ship moves and turns.
    void update(float dt);

private:
    Mat4 shipMatrix() const;
    Vec3 toLocal(const Vec3& world) const;

    struct Parked {
        Airplane* airplane;
        Vec3 spot;   // in the ship's frame
        float turn;  // the airplane's heading relative to the ship's
    };
    Target* m_ship;
    float m_heading = 0.0f;
    Vec3 m_lo{-20.0f, 11.0f, -125.0f}, m_hi{20.0f, 12.5f, 125.0f};
    std::vector<Airplane*> m_carried;
    std::vector<Parked> m_parked;
};
