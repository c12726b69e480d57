#pragma once
#include "platform/ManagedArray.h"
#include "platform/Math.h"

#include <functional>
#include <memory>
#include <span>

class ShadowVolumeMesh;
struct LightRecord;
struct WorldView;

// Shadows of moving things (aircraft, vehicles). Each such thing registers a
// Caster with its triangles and keeps its matrix current. The tier-3 shadow
// map draws every active caster; without the shadow-map object (tiers 1 and
// 2, or a tier 3 whose map could not be made) the casters near the camera get
// stencil shadow volumes instead (see ShadowVolumeMesh): counted depth-fail
// where the camera may be inside one, depth-pass and without the far cap where
// it cannot and the ground hides the volume's end. Tier 0, the cheapest
// quality, has no shadows of moving things.
class ShadowVolumes {
public:
    class Caster : public ManagedArray<Caster, 256> {
    public:
        // Triangles in the caster's own space, three points each; a link, not
        // copied: the owner keeps them alive while the caster exists.
        explicit Caster(std::span<const Vec3> triangles) : m_triangles(triangles) {}
        Caster(const Caster&) = delete;
        Caster& operator=(const Caster&) = delete;

        void setMatrix(const Mat4& matrix) { m_matrix = matrix; }
        void setActive(bool active) { m_active = active; }
        const Mat4& matrix() const { return m_matrix; }
        bool active() const { return m_active; }
        std::span<const Vec3> triangles() const { return m_triangles; }

    private:
        friend class ShadowVolumes;
        std::span<const Vec3> m_triangles;
        Mat4 m_matrix;
        bool m_active = true;
        // The welded triangles, shared by every caster of the same set; made
        // on first use (the triangles never change while the caster exists).
        std::shared_ptr<const ShadowVolumeMesh> m_mesh;
    };

    // Casters whose origin lies farther from the eye are skipped (world units).
    static constexpr float kMaxCasterDistance = 4000.0f;
    // How far a volume reaches away from the sun (world units): a caster
    // higher than this over the ground along the sun's ray casts nothing there.
    // Kept short of the scene's far plane (50000) with kMaxCasterDistance, so
    // the far cap is never clipped and the depth-fail count stays right.
    static constexpr float kExtrusion = 3000.0f;
    // A sun lower than this (the y of its unit direction) casts no volumes:
    // the lit ground is then nearly as dark as the shadow.
    static constexpr float kMinSunHeight = 0.05f;

    // The lowest height a shadow can fall on (the map's lowest ground, or sea
    // level when that lies higher): each volume then ends a little past it
    // instead of kExtrusion away, and fills that much less of the screen.
    // A non-finite value drops the floor.
    static void setGroundFloor(float height);
    // How far a caster whose highest point is at `highestY` extrudes away
    // from the sun (unit `towardSun`): past the ground floor along the sun's
    // ray, at most kExtrusion.
    static float extrusionFor(float highestY, const Vec3& towardSun);
    // The same past a floor of the caster's own.
    static float extrusionFor(float highestY, const Vec3& towardSun, float floor);
    // The lowest height a shadow can fall on within an area of x0, z0, x1, z1
    // (non-finite: not known there). Each volume then ends a little past that
    // under it, when higher than the ground floor: a caster over a hill no
    // longer reaches down to the sea bed. Set by the terrain (`owner`), which
    // clears it when it goes; a later set replaces an earlier one.
    static void setFloorQuery(std::function<float(float x0, float z0, float x1, float z1)> query, const void* owner);
    static void clearFloorQuery(const void* owner);

    // Whether the volumes are drawn: a renderer at tier 1 or above without
    // the shadow-map object.
    static bool enabled();
    // The share of the light a shadowed pixel loses, 0..1: what the tier-3
    // shadow takes from flat ground lit by this sun (the diffuse part), 0 for a
    // sun below kMinSunHeight or no light at all.
    static float shadowStrength(const LightRecord& light);

    // At the start of the scene's draw, after the sun is set: builds the volumes of the active
    // casters near `view`'s eye for the renderer's sun. Does nothing (and
    // drops the last frame's volumes) when the volumes are not enabled.
    static void buildIndices(const WorldView& view);
    // After the opaque world, the sky and the water surface: counts the volumes
    // into the current target's stencil, color and depth untouched, with the
    // current projection and view, which must be those buildIndices was given.
    // Nothing when the target has no stencil.
    static void renderStencil();
    // After the trees, before the clouds: darkens the pixels whose stencil count is not zero with
    // one full-target quad, zeroing the stencil as it goes.
    static void applyShadow();
};
