// Generated terrain: the test world's height field, its overview picture and
// tree density map, and the shared detail texture.
#include "DataTool.h"
#include "WorldNoise.h"
#include "WorldTextures.h"

#include "render/assets/PvrFormat.h"
#include "render/world/Terrain.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kGrid = 256;
constexpr float kCellSize = 64.0f;      // a 16384-unit square
constexpr float kBaseHeight = -220.0f;
constexpr float kHeightRange = 2000.0f;
constexpr int kOverviewSide = 512;
constexpr int kDetailSide = 256;
constexpr int kDensitySide = 128;

float smoothstep(float a, float b, float x)
{
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// The test world over u, v in 0..1 (u east, v south): an island with sea in
// the west, a coast with beaches, rolling farmland, a flat field in the middle
// for an airstrip, and a ridge of mountains in the north-east.
float testWorldHeight(const WorldNoise& noise, float u, float v)
{
    const float coastLine = 0.34f + 0.12f * (noise.fractal(v * 3.0f, 7.3f, 3) - 0.5f) * 2.0f;
    // The land sinks into the sea before the field's border on every side, so
    // the world is an island seen from the air rather than a cut-off square.
    const float border = smoothstep(0.0f, 0.1f, std::min({u, v, 1.0f - u, 1.0f - v}));
    const float land = smoothstep(coastLine - 0.05f, coastLine + 0.06f, u) * border;
    const float rolling = noise.fractal(u * 7.0f, v * 7.0f, 5);
    const float mountains = smoothstep(0.45f, 0.95f, u * 0.6f + (1.0f - v) * 0.6f) *
                            (0.4f + 0.6f * noise.fractal(u * 4.0f + 11.0f, v * 4.0f, 6));
    float h = -180.0f + land * (200.0f + rolling * 260.0f + mountains * mountains * 1500.0f);
    // The airstrip field: flattened to 40 within a soft disc.
    const float du = u - 0.62f, dv = v - 0.55f;
    const float field = 1.0f - smoothstep(0.05f, 0.09f, std::sqrt(du * du + dv * dv));
    h = h + (40.0f - h) * field * land;
    return std::clamp(h, kBaseHeight, kBaseHeight + kHeightRange);
}

struct Rgb {
    float r, g, b;
};
Rgb mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Ground color by height and slope (normal.y), with some noise for fields.
Rgb groundColor(float height, float upness, float variation)
{
    const Rgb deep{0.05f, 0.16f, 0.30f}, shallow{0.16f, 0.42f, 0.48f}, sand{0.76f, 0.70f, 0.52f};
    const Rgb grassA{0.30f, 0.46f, 0.18f}, grassB{0.42f, 0.52f, 0.24f}, forest{0.18f, 0.32f, 0.13f};
    const Rgb rock{0.45f, 0.42f, 0.38f}, snow{0.93f, 0.94f, 0.96f};
    if (height < 0.0f)
        return mix(shallow, deep, smoothstep(0.0f, 160.0f, -height));
    if (height < 12.0f)
        return sand;
    Rgb c = mix(grassA, grassB, variation);
    c = mix(c, forest, smoothstep(0.55f, 0.8f, variation) * (1.0f - smoothstep(500.0f, 800.0f, height)));
    c = mix(c, rock, smoothstep(600.0f, 1000.0f, height));
    c = mix(c, rock, smoothstep(0.9f, 0.75f, upness));
    c = mix(c, snow, smoothstep(1250.0f, 1450.0f, height) * smoothstep(0.7f, 0.85f, upness));
    return c;
}

bool buildTestWorld(DataContext& context)
{
    const WorldNoise noise(20240611u);
    Terrain::Layout layout;
    layout.grid = kGrid;
    layout.cellSize = kCellSize;
    layout.baseHeight = kBaseHeight;
    layout.heightRange = kHeightRange;
    std::vector<std::uint16_t> samples(static_cast<std::size_t>((kGrid + 1) * (kGrid + 1)));
    for (int row = 0; row <= kGrid; ++row)
        for (int col = 0; col <= kGrid; ++col) {
            const float h = testWorldHeight(noise, static_cast<float>(col) / kGrid, static_cast<float>(row) / kGrid);
            samples[static_cast<std::size_t>(row * (kGrid + 1) + col)] =
                static_cast<std::uint16_t>(std::lround((h - kBaseHeight) / kHeightRange * 65535.0f));
        }
    Terrain terrain;
    if (!terrain.setSamples(layout, samples)) {
        context.error("test world: the height field does not fit its layout");
        return false;
    }
    if (!context.writeFile("data/terrain/test/height.bin", Terrain::encode(layout, samples)))
        return false;

    // Overview picture: row 0 at the field's -z edge, like the height rows.
    const float size = terrain.size();
    TextureImage overview;
    overview.format = TextureFormat::Rgb8;
    overview.width = overview.height = kOverviewSide;
    overview.levels.emplace_back(static_cast<std::size_t>(kOverviewSide * kOverviewSide * 3));
    std::uint8_t* px = overview.levels[0].data();
    for (int y = 0; y < kOverviewSide; ++y)
        for (int x = 0; x < kOverviewSide; ++x) {
            const float wx = (static_cast<float>(x) + 0.5f) / kOverviewSide * size - size * 0.5f;
            const float wz = (static_cast<float>(y) + 0.5f) / kOverviewSide * size - size * 0.5f;
            Vec3 normal;
            const float h = terrain.heightAndNormalAt(wx, wz, normal);
            const float variation = noise.fractal(wx / 700.0f + 40.0f, wz / 700.0f, 4);
            const Rgb c = groundColor(h, normal.y, variation);
            *px++ = toByte(c.r);
            *px++ = toByte(c.g);
            *px++ = toByte(c.b);
        }
    if (!writeMippedPvr565(context, "data/terrain/test/wm.pvr", std::move(overview)))
        return false;

    // Tree density: woods on the lower land, by a coarse noise.
    std::vector<std::uint8_t> density(static_cast<std::size_t>(kDensitySide * kDensitySide));
    for (int y = 0; y < kDensitySide; ++y)
        for (int x = 0; x < kDensitySide; ++x) {
            const float wx = (static_cast<float>(x) + 0.5f) / kDensitySide * size - size * 0.5f;
            const float wz = (static_cast<float>(y) + 0.5f) / kDensitySide * size - size * 0.5f;
            const float woods = smoothstep(0.5f, 0.7f, noise.fractal(wx / 700.0f + 40.0f, wz / 700.0f, 4));
            const float h = terrain.heightAt(wx, wz);
            const float ground = h > 15.0f && h < 700.0f ? 1.0f : 0.0f;
            density[static_cast<std::size_t>(y * kDensitySide + x)] = toByte(woods * ground);
        }
    return context.writeFile("data/terrain/test/trees.raw", density);
}

// Grey ground grain around mid-grey that tiles: the terrain shader multiplies
// it in twice over, so 128 leaves the overview color unchanged.
bool buildDetailTexture(DataContext& context)
{
    const WorldNoise noise(99u);
    TextureImage detail;
    detail.format = TextureFormat::Luminance8;
    detail.width = detail.height = kDetailSide;
    detail.levels.emplace_back(static_cast<std::size_t>(kDetailSide * kDetailSide));
    for (int y = 0; y < kDetailSide; ++y)
        for (int x = 0; x < kDetailSide; ++x) {
            const float fx = static_cast<float>(x) / kDetailSide * 16.0f, fy = static_cast<float>(y) / kDetailSide * 16.0f;
            const float n = noise.fractal(fx, fy, 4, 16);
            detail.levels[0][static_cast<std::size_t>(y * kDetailSide + x)] = toByte(0.5f + (n - 0.5f) * 0.45f);
        }
    return writeMippedPvr(context, "data/terrain/detail.pvr", std::move(detail));
}

bool buildTerrain(DataContext& context) { return buildDetailTexture(context) && buildTestWorld(context); }

}  // namespace

SKYFRONT_DATA_STEP(600, "terrain", buildTerrain);
