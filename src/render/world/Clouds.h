#pragma once
#include "platform/Math.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct WorldView;

// The cloud field: clusters of camera-facing puffs from the 4 x 4 cloud atlas
// ("data/sky/clouds256.raw", luminance-alpha 256 x 256), floating above the
// highest ground. Building and sorting need no GL context.
class Clouds {
public:
    struct Puff {
        Vec3 position;
        float size = 0.0f;        // half width, world units
        std::uint8_t cell = 0;    // atlas cell 0..15
        float shade = 1.0f;       // 0..1: bottoms of clusters are darker
        Vec3 color{1, 1, 1};     // lit color, set by relight
    };
    static constexpr float kDefaultAmount = 0.35f;
    static constexpr int kMaxClusters = 48;
    static constexpr float kFieldRadius = 30000.0f;

    Clouds();
    ~Clouds();
    Clouds(const Clouds&) = delete;
    Clouds& operator=(const Clouds&) = delete;

    // Loads the atlas; false (and no clouds are drawn) when it is missing.
    [[nodiscard]] bool load();
    // Replaces the field. amount 0..1 (clamped) is the sky's cover; a negative
    // amount takes kDefaultAmount; 0 makes no puffs. The cloud layer starts
    // above `cloudBase` (the highest ground or prop).
    void buildField(float amount, float cloudBase);
    // Recolors every puff for the sun's color and direction.
    void relight(const Vec3& sunColor, const Vec3& sunDirection);

    const std::vector<Puff>& puffs() const { return m_puffs; }
    // Sorts the puffs far to near for the eye; call at the start of the draw.
    void fillBuffer(const Vec3& eye);
    // Puff indices, far to near, from the last fillBuffer.
    const std::vector<std::uint32_t>& drawOrder() const { return m_order; }

    // Draws the puffs into the half-resolution cloud target: the soft puffs
    // look the same at half the size, and the overlapping quads blend over a
    // quarter of the pixels.
    void renderToTarget(const WorldView& view);
    // Blends the clouds into the scene: the target's picture after a
    // renderToTarget this frame, else the puffs drawn directly. Nothing
    // without puffs.
    void composite(const WorldView& view);
    // The NDC rectangles (x0, y0, x1, y1) the next composite covers, from the
    // last renderToTarget: apart from each other and around every puff in view.
    const std::vector<std::array<float, 4>>& compositeRects() const;

private:
    class Gpu;
    void drawPuffs(const WorldView& view);

    std::vector<Puff> m_puffs;
    std::vector<std::uint32_t> m_order;
    std::unique_ptr<Gpu> m_gpu;
};
