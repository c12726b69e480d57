#pragma once
#include "platform/ManagedArray.h"
#include "platform/Math.h"

#include <span>

// Shadows of moving things (aircraft, vehicles). Each such thing registers a
// Caster with its triangles and keeps its matrix current; the tier-3 shadow
// map draws every active caster. The stencil-volume passes keep their place
// in the scene's draw order.
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
        std::span<const Vec3> m_triangles;
        Mat4 m_matrix;
        bool m_active = true;
    };

    // TODO: stencil volumes are not built yet; the tier-3 shadow map already
    // shadows every active caster, and below tier 3 these passes draw nothing.
    static void buildIndices() {}
    static void renderStencil() {}
    static void applyShadow() {}
};
