#pragma once
#include "platform/Math.h"

#include <array>
#include <cstdint>

class Target;

// Short-lived points in the world that missiles may chase instead of their
// target: the decoys of launched flares.
class TimedPoints {
public:
    static constexpr int kCapacity = 64;
    struct Point {
        Vec3 position;
        float timeLeft = 0.0f;  // s; the point is free at 0 or below
        const Target* owner = nullptr;
        std::uint32_t serial = 0;  // grows with every point added; 0 for a free entry
    };

    static TimedPoints& instance();

    // The index of the new point; -1 when all are in use.
    int add(const Vec3& position, float life, const Target* owner);
    // Null for a free or out-of-range index.
    const Point* at(int index) const;
    void update(float dt);
    void clear();
    int activeCount() const;
    // Forgets an owner that leaves the world.
    void forgetOwner(const Target* owner);
    // The serial of the newest point; a missile rolls only for points newer
    // than the last it saw.
    std::uint32_t lastSerial() const { return m_serial; }

private:
    std::array<Point, kCapacity> m_points{};
    std::uint32_t m_serial = 0;
};
