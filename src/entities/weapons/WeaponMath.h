#pragma once
#include "platform/Math.h"

class IEntityHost;
class Target;

// Gravity on bombs, torpedoes in the air and flak shells, units/s^2.
constexpr float kGravity = 9.81f;

// Aim point for a shooter at `from` on a target with projectile speed v: the
// target's position moved along its velocity for the flight time, refined
// `iterations` times.
Vec3 leadPoint(const Vec3& from, const Vec3& targetPosition, const Vec3& targetVelocity, float projectileSpeed,
               int iterations);
Vec3 leadPointPrecise(const Vec3& from, const Target& target, float projectileSpeed);
Vec3 leadPointFast(const Vec3& from, const Target& target, float projectileSpeed);

// The parameter 0..1 along a->b of the point nearest to p.
float closestParameter(const Vec3& a, const Vec3& b, const Vec3& p);
// Squared distance from p to the segment a->b.
float segmentDistanceSq(const Vec3& a, const Vec3& b, const Vec3& p);

// Where a body falling freely from p with velocity v meets the ground (or the
// water: the sea at 0, a lake at its level); time is the fall time. False when it would not land in maxTime.
bool predictBallisticImpact(const IEntityHost& host, const Vec3& p, const Vec3& v, float maxTime, Vec3& impact,
                            float& time);

// A unit direction turned at random by up to `spread` radians on each axis
// across it.
Vec3 jitterDirection(const Vec3& direction, float spread);
