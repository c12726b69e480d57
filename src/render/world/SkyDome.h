#pragma once
#include "platform/Math.h"

#include <memory>
#include <string_view>
#include <vector>

class AtmosScatter;

// The sky: a sphere around the eye colored per vertex by the scattering
// model (lighter toward the horizon, bluish overhead, a glow and a disc at the
// sun), drawn at the far plane of its own so that it never clips and never
// hides anything drawn before it.
class SkyDome {
public:
    static constexpr int kRings = 16;     // from the nadir to the zenith
    static constexpr int kSegments = 32;  // around the horizon

    SkyDome();
    ~SkyDome();
    SkyDome(const SkyDome&) = delete;
    SkyDome& operator=(const SkyDome&) = delete;

    // Builds the sphere.
    void load();
    // An optional band of high cloud laid around the horizon (premultiplied,
    // lit by the sky around it); false (and the sky stays plain) when it does
    // not load.
    [[nodiscard]] bool loadTexture(std::string_view name);
    // Draws around the current view's eye; recolors the vertices when the
    // scattering object's sun moved. Depth writes off, depth test at the far plane.
    void draw(const AtmosScatter& scatter, const Vec3& eye);
    // Whether the sun's disc in direction `sun` (out to its blurred edge) can
    // fall inside the view of projection x view; draw leaves the disc's
    // per-pixel work out when it cannot.
    static bool sunDiscInView(const Mat4& projection, const Mat4& view, const Vec3& sun);
    // Told by the water once it has drawn its surface around `eye` out to
    // `reach`: the next draw from that same eye leaves out the rings wholly
    // below where the sea meets the far plane (or its own edge), whose pixels
    // the sea has taken already. Used once; any other draw has the whole dome.
    void setSeaDrawn(const Vec3& eye, float reach);
    // The first ring the next draw from `eye` under `projection` keeps (0: all).
    int firstRingShown(const Vec3& eye, const Mat4& projection) const;

private:
    class Gpu;
    struct Vertex {
        float x, y, z;
        Color4 color;
        float u, v;
    };
    void recolor(const AtmosScatter& scatter);

    std::vector<Vertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
    Vec3 m_coloredSun{0, -2, 0}, m_coloredLight{-1, -1, -1};
    Vec3 m_seaEye;
    float m_seaReach = 0.0f;  // 0: no sea drawn for the next draw
    std::unique_ptr<Gpu> m_gpu;
};
