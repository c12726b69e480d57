// The terrains of the game's maps: a height field, an overview picture (which
// is also the briefing map) and a tree density map for each, under
// "data/terrain/<name>/". The lakes above sea level are painted as water in
// the pictures; the world's height queries find them through the maps' lakes.
#include "DataTool.h"
#include "MapWorlds.h"
#include "WorldNoise.h"
#include "WorldTextures.h"

#include "render/assets/PvrFormat.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kGrid = 512;
constexpr float kCellSize = 64.0f;  // a 32768-unit square centred on the origin
constexpr float kHalf = kGrid * kCellSize * 0.5f;
constexpr float kBaseHeight = -400.0f;
constexpr float kHeightRange = 3400.0f;
constexpr int kOverviewSide = 1024;
constexpr int kDensitySide = 256;
// Rise of a lake's banks per unit out from its shore (about 30 degrees).
constexpr float kLakeBankSlope = 0.6f;
// Ground flatter than this (the normal's up component) under a lake's level is its water.
constexpr float kLakeFloorUpness = 0.95f;

enum Shape { Training, Channel, Pacific, Valley, Peaks, Northland };

float smoothstep(float a, float b, float x)
{
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}
float lerp(float a, float b, float t) { return a + (b - a) * t; }
float gauss(float x, float z, float cx, float cz, float sigma)
{
    const float dx = x - cx, dz = z - cz;
    return std::exp(-(dx * dx + dz * dz) / (2.0f * sigma * sigma));
}

// The land form alone, before airfields, rivers and lakes.
float landHeight(const MapWorldPlan& plan, const WorldNoise& noise, float x, float z)
{
    const float rolling = noise.fractal(x / 4500.0f + 30.0f, z / 4500.0f, 5);
    const float fine = noise.fractal(x / 1200.0f, z / 1200.0f + 50.0f, 3);
    float h = 0.0f;
    switch (plan.shape) {
    case Training: {
        const float coast = -7000.0f + 3000.0f * (noise.fractal(z / 6000.0f, 3.7f, 3) - 0.5f);
        const float land = smoothstep(coast - 900.0f, coast + 1400.0f, x);
        const float massif = gauss(x, z, 10035.0f, -4490.0f, 3000.0f) *
                             (1300.0f + 500.0f * noise.fractal(x / 1500.0f, z / 1500.0f, 4));
        const float ridge = gauss(x, z, -1500.0f, -9000.0f, 3500.0f) * 900.0f * (0.5f + fine);
        h = lerp(-260.0f, 40.0f + rolling * rolling * 900.0f + fine * 60.0f + massif + ridge, land);
        break;
    }
    case Channel: {
        const float south = 1800.0f + 1400.0f * (noise.fractal(x / 5000.0f, 1.3f, 3) - 0.5f);
        const float north = -3200.0f + 1400.0f * (noise.fractal(x / 5000.0f, 8.1f, 3) - 0.5f);
        const float land = std::max(smoothstep(south - 150.0f, south + 250.0f, z),
                                    smoothstep(-north - 150.0f, -north + 250.0f, -z));
        const float cliffs = 90.0f * land;
        const float highland = smoothstep(-6000.0f, -14000.0f, z) * 700.0f * (0.4f + rolling);
        h = lerp(-220.0f, cliffs + 40.0f + rolling * rolling * 700.0f + highland, land);
        break;
    }
    case Pacific: {
        struct Island {
            float x, z, r, peak;
        };
        static const Island islands[] = {{2000, 3000, 4200, 760},    {-8000, -6000, 2600, 420},
                                         {9000, -7000, 2800, 520},   {-6500, 8000, 2100, 260},
                                         {10500, 9000, 2000, 320},   {-11000, 2000, 1500, 180},
                                         {12679, 4755, 1800, 300}};
        h = -420.0f + 120.0f * rolling;
        for (const Island& is : islands) {
            const float dx = x - is.x, dz = z - is.z;
            const float d = std::sqrt(dx * dx + dz * dz) / is.r;
            const float wobble = 0.25f * (noise.fractal(x / 1800.0f + is.x, z / 1800.0f, 3) - 0.5f);
            const float t = 1.0f - smoothstep(0.0f, 1.0f + wobble, d);
            h = std::max(h, -60.0f + t * t * (is.peak + 200.0f * fine) + t * 80.0f);
        }
        break;
    }
    case Valley: {
        const float centre = 900.0f * std::sin(x / 5200.0f);
        const float side = std::fabs(z - centre);
        const float walls = smoothstep(1300.0f, 5200.0f, side) * (1300.0f + 1100.0f * rolling);
        const float sea = smoothstep(10500.0f, 13500.0f, x);
        h = lerp(110.0f + rolling * 90.0f + walls, -260.0f, sea);
        break;
    }
    case Peaks: {
        const float peaks = gauss(x, z, -4500.0f, -2500.0f, 2600.0f) * 2300.0f +
                            gauss(x, z, 4200.0f, 2800.0f, 2400.0f) * 2100.0f;
        const float ridged = 1.0f - std::fabs(noise.fractal(x / 2500.0f, z / 2500.0f, 4) * 2.0f - 1.0f);
        const float sea = smoothstep(9000.0f, 12500.0f, z);
        h = lerp(120.0f + 260.0f * rolling + peaks * (0.75f + 0.35f * ridged), -260.0f, sea);
        break;
    }
    default: {  // Northland: a fjord coast in the south-west, snowy hills behind
        const float d = (x + z) * 0.7071f + 3500.0f * (noise.fractal(x / 7000.0f, z / 7000.0f, 3) - 0.5f);
        const float land = smoothstep(-5500.0f, -3000.0f, d);
        const float inlet = 1.0f - smoothstep(0.0f, 0.07f, std::fabs(noise.fractal(x / 3500.0f + 9.0f, z / 9000.0f, 3) - 0.5f));
        const float hills = 180.0f + 950.0f * rolling * rolling + 200.0f * fine;
        h = lerp(-260.0f, hills, land * (1.0f - 0.9f * inlet * smoothstep(-3000.0f, 2000.0f, -d)));
        break;
    }
    }
    // Every field is an island at its border: the land sinks into the sea.
    const float edge = std::min({x + kHalf, z + kHalf, kHalf - x, kHalf - z}) / (2.0f * kHalf);
    return lerp(-300.0f, h, smoothstep(0.0f, 0.05f, edge));
}

float distanceToSegment(float px, float pz, float ax, float az, float bx, float bz)
{
    const float dx = bx - ax, dz = bz - az;
    const float len2 = dx * dx + dz * dz;
    const float t = len2 > 0.0f ? std::clamp(((px - ax) * dx + (pz - az) * dz) / len2, 0.0f, 1.0f) : 0.0f;
    const float qx = ax + t * dx - px, qz = az + t * dz - pz;
    return std::sqrt(qx * qx + qz * qz);
}

float finalHeight(const MapWorldPlan& plan, const WorldNoise& noise, float x, float z)
{
    float h = landHeight(plan, noise, x, z);
    for (const MapRiver& river : plan.rivers) {
        float d = 1e9f;
        for (std::size_t i = 1; i < river.points.size(); ++i)
            d = std::min(d, distanceToSegment(x, z, river.points[i - 1].first, river.points[i - 1].second,
                                              river.points[i].first, river.points[i].second));
        const float bed = -10.0f + 10.0f * smoothstep(0.0f, river.width, d);
        const float banks = smoothstep(river.width, river.width * 5.0f, d);
        h = std::min(h, lerp(bed, std::max(h, bed), banks));
    }
    for (const MapFlat& flat : plan.flats) {
        const float a = flat.angle * 0.017453292f;
        const float dx = x - flat.x, dz = z - flat.z;
        const float along = dx * std::cos(a) - dz * std::sin(a);
        const float across = dx * std::sin(a) + dz * std::cos(a);
        const float inside = (1.0f - smoothstep(flat.halfLength, flat.halfLength + 900.0f, std::fabs(along))) *
                             (1.0f - smoothstep(flat.halfWidth, flat.halfWidth + 700.0f, std::fabs(across)));
        h = lerp(h, mapFlatHeight(plan, flat), inside);
    }
    for (const MapBasin& lake : plan.lakes) {
        const float d = std::sqrt((x - lake.x) * (x - lake.x) + (z - lake.z) * (z - lake.z));
        if (d < lake.radius) {
            h = lake.level - 6.0f - 45.0f * std::sqrt(1.0f - d / lake.radius);
            continue;
        }
        // Lower land is dammed up to hold the lake; higher land is cut back to
        // banks that climb from the shore, so a lake set into a mountain lies
        // in a basin instead of at the foot of a cell-high cliff.
        const float beyond = d - lake.radius;
        const float dam = lake.level + 8.0f - std::max(0.0f, beyond - 150.0f) * 0.35f;
        h = std::clamp(h, dam, lake.level + 8.0f + beyond * kLakeBankSlope);
    }
    return std::clamp(h, kBaseHeight, kBaseHeight + kHeightRange);
}

struct Rgb {
    float r, g, b;
};
Rgb mix(const Rgb& a, const Rgb& b, float t) { return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)}; }

Rgb groundColor(bool snowy, float height, float upness, float variation, float field)
{
    const Rgb deep{0.05f, 0.16f, 0.30f}, shallow{0.16f, 0.42f, 0.48f}, sand{0.76f, 0.70f, 0.52f};
    const Rgb grassA = snowy ? Rgb{0.36f, 0.42f, 0.30f} : Rgb{0.30f, 0.46f, 0.18f};
    const Rgb grassB = snowy ? Rgb{0.46f, 0.48f, 0.38f} : Rgb{0.42f, 0.52f, 0.24f};
    const Rgb forest{0.16f, 0.30f, 0.14f}, rock{0.45f, 0.42f, 0.38f}, snow{0.93f, 0.94f, 0.96f};
    if (height < 0.0f)
        return mix(shallow, deep, smoothstep(0.0f, 160.0f, -height));
    if (height < 10.0f)
        return sand;
    Rgb c = mix(grassA, grassB, variation);
    // Farmland below the hills: fields of crops, hay and ploughed earth.
    if (field >= 0.0f) {
        static const Rgb crops[4] = {{0.52f, 0.56f, 0.26f}, {0.64f, 0.58f, 0.32f}, {0.46f, 0.38f, 0.26f},
                                     {0.34f, 0.50f, 0.20f}};
        const float farmland = (1.0f - smoothstep(250.0f, 450.0f, height)) * smoothstep(0.93f, 0.98f, upness);
        c = mix(c, crops[static_cast<int>(field * 3.999f)], 0.75f * farmland);
    }
    c = mix(c, forest, smoothstep(0.55f, 0.8f, variation) * (1.0f - smoothstep(600.0f, 1000.0f, height)));
    c = mix(c, rock, smoothstep(1000.0f, 1500.0f, height));
    c = mix(c, rock, smoothstep(0.9f, 0.72f, upness));
    const float snowLine = snowy ? 450.0f : 1700.0f;
    c = mix(c, snow, smoothstep(snowLine, snowLine + 250.0f, height) * smoothstep(0.68f, 0.85f, upness));
    return c;
}

std::map<std::string, std::unique_ptr<Terrain>>& madeTerrains()
{
    static std::map<std::string, std::unique_ptr<Terrain>> all;
    return all;
}

bool buildWorld(DataContext& context, const MapWorldPlan& plan)
{
    const WorldNoise noise(plan.seed);
    Terrain::Layout layout{kGrid, kCellSize, kBaseHeight, kHeightRange};
    std::vector<std::uint16_t> samples(static_cast<std::size_t>((kGrid + 1) * (kGrid + 1)));
    for (int row = 0; row <= kGrid; ++row)
        for (int col = 0; col <= kGrid; ++col) {
            const float h = finalHeight(plan, noise, -kHalf + col * kCellSize, -kHalf + row * kCellSize);
            samples[static_cast<std::size_t>(row * (kGrid + 1) + col)] =
                static_cast<std::uint16_t>(std::lround((h - kBaseHeight) / kHeightRange * 65535.0f));
        }
    auto terrain = std::make_unique<Terrain>();
    if (!terrain->setSamples(layout, samples)) {
        context.error(std::string(plan.name) + ": the height field does not fit its layout");
        return false;
    }
    const std::string folder = std::string("data/terrain/") + plan.name + "/";
    if (!context.writeFile(folder + "height.bin", Terrain::encode(layout, samples)))
        return false;

    TextureImage overview;
    overview.format = TextureFormat::Rgb8;
    overview.width = overview.height = kOverviewSide;
    overview.levels.emplace_back(static_cast<std::size_t>(kOverviewSide * kOverviewSide * 3));
    std::uint8_t* px = overview.levels[0].data();
    const float size = terrain->size();
    for (int y = 0; y < kOverviewSide; ++y)
        for (int x = 0; x < kOverviewSide; ++x) {
            const float wx = (x + 0.5f) / kOverviewSide * size - size * 0.5f;
            const float wz = (y + 0.5f) / kOverviewSide * size - size * 0.5f;
            Vec3 normal;
            float h = terrain->heightAndNormalAt(wx, wz, normal);
            for (const MapBasin& lake : plan.lakes) {
                const float d = std::sqrt((wx - lake.x) * (wx - lake.x) + (wz - lake.z) * (wz - lake.z));
                // Only the basin's floor is water: a bank dipping under the
                // level at the shore stays ground.
                if (d < lake.radius && h < lake.level && normal.y > kLakeFloorUpness)
                    h = h - lake.level;  // depth below the lake surface, painted as water
            }
            const float variation = noise.fractal(wx / 700.0f + 40.0f, wz / 700.0f, 4);
            // Fields: cells of a turned grid, one crop each, only where the land is farmed.
            const float fu = (wx * 0.87f + wz * 0.5f) / 420.0f, fv = (wz * 0.87f - wx * 0.5f) / 300.0f;
            const float farmed = noise.fractal(wx / 3000.0f + 7.0f, wz / 3000.0f, 2);
            const float field = plan.snowy || farmed < 0.45f ? -1.0f : noise.value(std::floor(fu) + 0.5f, std::floor(fv) + 0.5f);
            const Rgb c = groundColor(plan.snowy, h, normal.y, variation, std::clamp(field, -1.0f, 0.999f));
            *px++ = toByte(c.r);
            *px++ = toByte(c.g);
            *px++ = toByte(c.b);
        }
    const TextureImage picture = overview;
    if (!writeMippedPvr565(context, folder + "wm.pvr", std::move(overview)))
        return false;
    // The shared briefing picture of maps whose "watermap" is "Ocean/wm".
    if (plan.shape == Channel && !writeMippedPvr565(context, "data/terrain/Channel/wm.pvr", picture))
        return false;

    std::vector<std::uint8_t> density(static_cast<std::size_t>(kDensitySide * kDensitySide));
    for (int y = 0; y < kDensitySide; ++y)
        for (int x = 0; x < kDensitySide; ++x) {
            const float wx = (x + 0.5f) / kDensitySide * size - size * 0.5f;
            const float wz = (y + 0.5f) / kDensitySide * size - size * 0.5f;
            const float woods = smoothstep(0.5f, 0.68f, noise.fractal(wx / 700.0f + 40.0f, wz / 700.0f, 4));
            const float h = terrain->heightAt(wx, wz);
            bool open = h > 15.0f && h < (plan.snowy ? 600.0f : 1100.0f);
            for (const MapFlat& flat : plan.flats)
                open = open && std::hypot(wx - flat.x, wz - flat.z) > flat.halfLength + 300.0f;
            for (const MapBasin& lake : plan.lakes)
                open = open && std::hypot(wx - lake.x, wz - lake.z) > lake.radius + 100.0f;
            density[static_cast<std::size_t>(y * kDensitySide + x)] = toByte(open ? woods : 0.0f);
        }
    if (!context.writeFile(folder + "trees.raw", density))
        return false;
    madeTerrains()[plan.name] = std::move(terrain);
    return true;
}

bool buildMapWorlds(DataContext& context)
{
    for (const MapWorldPlan& plan : mapWorldPlans())
        if (!buildWorld(context, plan))
            return false;
    return true;
}

}  // namespace

const std::vector<MapWorldPlan>& mapWorldPlans()
{
    // Airfields lie where the maps put their runways (MapsStep.cpp); the
    // training field's tarn holds the weapons lesson's ship.
    static const std::vector<MapWorldPlan> plans = [] {
        using Points = std::vector<std::pair<float, float>>;
        auto plan = [](const char* name, unsigned seed, int shape, bool snowy) {
            MapWorldPlan p;
            p.name = name;
            p.seed = seed;
            p.shape = shape;
            p.snowy = snowy;
            return p;
        };
        std::vector<MapWorldPlan> all;
        MapWorldPlan p = plan("training", 7101u, Training, false);
        p.flats = {MapFlat{11000.0f, 3500.0f, 4600.0f, 700.0f, 0.0f}, MapFlat{-3000.0f, 2000.0f, 1600.0f, 500.0f, 30.0f}};
        p.lakes = {MapBasin{"tarn", 10035.3f, -4490.8f, 1300.0f, 1155.68f}};
        p.rivers = {MapRiver{Points{{-9000.0f, 9000.0f}, {-4000.0f, 7000.0f}, {1000.0f, 8500.0f}, {5000.0f, 7600.0f}}, 45.0f}};
        all.push_back(p);
        p = plan("channel", 7202u, Channel, false);
        p.flats = {MapFlat{2000.0f, 7000.0f, 1600.0f, 500.0f, 0.0f}, MapFlat{-3000.0f, -9000.0f, 1600.0f, 500.0f, 0.0f}};
        p.rivers = {MapRiver{Points{{-6000.0f, 2200.0f}, {-5200.0f, 5000.0f}, {-6800.0f, 8000.0f}, {-5500.0f, 12000.0f}}, 50.0f}};
        all.push_back(p);
        p = plan("pacific", 7303u, Pacific, false);
        p.flats = {MapFlat{-1000.0f, 3000.0f, 1500.0f, 450.0f, 90.0f}, MapFlat{7040.0f, -7000.0f, 1200.0f, 400.0f, 90.0f}};
        p.lakes = {MapBasin{"crater", 1200.0f, 1600.0f, 500.0f, 380.0f}};
        all.push_back(p);
        p = plan("valley", 7404u, Valley, false);
        p.flats = {MapFlat{-8000.0f, -900.0f, 1600.0f, 500.0f, 0.0f}, MapFlat{6000.0f, 800.0f, 1600.0f, 500.0f, 0.0f}};
        p.lakes = {MapBasin{"mere", -2000.0f, -1600.0f, 700.0f, 140.0f}};
        // The river keeps to the valley floor, beside its middle line.
        Points river;
        for (float x = -15500.0f; x <= 13500.0f; x += 1000.0f)
            river.emplace_back(x, 900.0f * std::sin(x / 5200.0f) + 450.0f);
        p.rivers = {MapRiver{river, 60.0f}};
        all.push_back(p);
        p = plan("peaks", 7505u, Peaks, false);
        p.flats = {MapFlat{-6000.0f, 6500.0f, 1600.0f, 500.0f, 0.0f}, MapFlat{7000.0f, -6500.0f, 1600.0f, 500.0f, 0.0f}};
        p.lakes = {MapBasin{"saddle", 0.0f, 0.0f, 1100.0f, 420.0f}};
        all.push_back(p);
        p = plan("northland", 7606u, Northland, true);
        p.flats = {MapFlat{5000.0f, 6000.0f, 1600.0f, 500.0f, 0.0f}, MapFlat{9000.0f, -8000.0f, 1600.0f, 500.0f, 0.0f}};
        p.lakes = {MapBasin{"icemere", 3000.0f, -2000.0f, 900.0f, 380.0f}};
        all.push_back(p);
        return all;
    }();
    return plans;
}

const MapWorldPlan* findMapWorldPlan(const std::string& name)
{
    for (const MapWorldPlan& plan : mapWorldPlans())
        if (name == plan.name)
            return &plan;
    return nullptr;
}

const Terrain* mapWorldTerrain(const std::string& name)
{
    const auto found = madeTerrains().find(name);
    return found == madeTerrains().end() ? nullptr : found->second.get();
}

float mapFlatHeight(const MapWorldPlan& plan, const MapFlat& flat)
{
    const WorldNoise noise(plan.seed);
    return std::clamp(landHeight(plan, noise, flat.x, flat.z), 25.0f, 400.0f);
}

SKYFRONT_DATA_STEP(620, "map worlds", buildMapWorlds);
