#pragma once
#include "platform/Math.h"

#include <span>
#include <vector>

// A Catmull-Rom curve through a list of points, walked by distance along it
// (the cinematic path camera). The end points are repeated as their own outer
// neighbours, so the curve starts and ends exactly on them.
class Spline {
public:
    static constexpr int kDefaultSamples = 50;

    // Samples the curve in `samples` equal steps of the curve parameter to
    // measure its length. Fewer than two points give a curve of length 0.
    void build(std::span<const Vec3> points, int samples = kDefaultSamples);
    void clear();

    float length() const { return m_distances.empty() ? 0.0f : m_distances.back(); }
    // The curve point at a distance from the start, held to 0..length(). With
    // no points the origin, with one point that point.
    Vec3 pointAt(float distance) const;

private:
    Vec3 evaluate(float u) const;  // u from 0 to the segment count

    std::vector<Vec3> m_points;
    std::vector<float> m_distances;  // distance from the start at each sample
};
