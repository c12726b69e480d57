#include "render/world/Terrain.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "render/world/TerrainPatches.h"
#include "render/world/WorldView.h"
#include "platform/Math.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'S', 'K', 'Y', 'H'};
constexpr std::uint16_t kVersion = 1;

std::uint16_t readU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
float readF32(const std::uint8_t* p)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
void putU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void putF32(std::vector<std::uint8_t>& out, float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

std::size_t sampleCount(int grid) { return static_cast<std::size_t>(grid + 1) * static_cast<std::size_t>(grid + 1); }

}  // namespace

bool Terrain::checkLayout(const Layout& layout) const
{
    // Finite is not enough: a base and a range near the float limit add up to
    // infinity, and a vanishing cell turns every slope infinite.
    const auto within = [](float value, float low, float high) { return value >= low && value <= high; };
    return layout.grid >= 1 && layout.grid <= kMaxGrid && within(layout.cellSize, kMinCellSize, kMaxCellSize) &&
           within(layout.baseHeight, -kMaxHeight, kMaxHeight) && within(layout.heightRange, 0.0f, kMaxHeight);
}

bool Terrain::load(File& file)
{
    m_samples.clear();
    m_layout = Layout{};
    m_patches.reset();
    std::vector<std::uint8_t> bytes;
    if (!file.readAll(bytes) || bytes.size() < kHeaderBytes) {
        logWarning("render", "terrain: height file too short for its header");
        return false;
    }
    if (std::memcmp(bytes.data(), kMagic, 4) != 0 || readU16(&bytes[4]) != kVersion) {
        logWarning("render", "terrain: height file has a wrong tag or version");
        return false;
    }
    Layout layout;
    layout.grid = readU16(&bytes[6]);
    layout.cellSize = readF32(&bytes[8]);
    layout.baseHeight = readF32(&bytes[12]);
    layout.heightRange = readF32(&bytes[16]);
    if (!checkLayout(layout)) {
        logWarning("render", "terrain: height file has a bad layout (grid %d)", layout.grid);
        return false;
    }
    const std::size_t count = sampleCount(layout.grid);
    if (bytes.size() - kHeaderBytes < count * 2) {
        logWarning("render", "terrain: height file holds fewer than its %zu samples", count);
        return false;
    }
    std::vector<std::uint16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = readU16(&bytes[kHeaderBytes + 2 * i]);
    m_layout = layout;
    m_samples = std::move(samples);
    return true;
}

bool Terrain::setSamples(const Layout& layout, std::span<const std::uint16_t> samples)
{
    m_samples.clear();
    m_layout = Layout{};
    m_patches.reset();
    if (!checkLayout(layout) || samples.size() != sampleCount(layout.grid))
        return false;
    m_layout = layout;
    m_samples.assign(samples.begin(), samples.end());
    return true;
}

std::vector<std::uint8_t> Terrain::encode(const Layout& layout, std::span<const std::uint16_t> samples)
{
    std::vector<std::uint8_t> out;
    Terrain check;
    if (!check.checkLayout(layout) || samples.size() != sampleCount(layout.grid))
        return out;
    out.reserve(kHeaderBytes + samples.size() * 2);
    for (char c : kMagic)
        out.push_back(static_cast<std::uint8_t>(c));
    putU16(out, kVersion);
    putU16(out, static_cast<std::uint16_t>(layout.grid));
    putF32(out, layout.cellSize);
    putF32(out, layout.baseHeight);
    putF32(out, layout.heightRange);
    for (std::uint16_t s : samples)
        putU16(out, s);
    return out;
}

float Terrain::sampleHeight(int col, int row) const
{
    if (m_samples.empty())
        return 0.0f;
    col = std::clamp(col, 0, m_layout.grid);
    row = std::clamp(row, 0, m_layout.grid);
    const std::uint16_t s = m_samples[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_layout.grid + 1) +
                                      static_cast<std::size_t>(col)];
    return m_layout.baseHeight + static_cast<float>(s) * (m_layout.heightRange / 65535.0f);
}

float Terrain::cellCoordinate(float world) const
{
    // NaN lands on the field's first sample rather than in an index.
    const float c = (world + size() * 0.5f) / m_layout.cellSize;
    if (!(c > 0.0f))
        return 0.0f;
    const float g = static_cast<float>(m_layout.grid);
    return c < g ? c : g;
}

float Terrain::heightAt(float x, float z) const
{
    Vec3 unused;
    return heightAndNormalAt(x, z, unused);
}

float Terrain::sampleHeightAt(float x, float z) const
{
    if (m_samples.empty())
        return 0.0f;
    // The far edge belongs to the last cell.
    const int col = std::min(static_cast<int>(cellCoordinate(x)), m_layout.grid - 1);
    const int row = std::min(static_cast<int>(cellCoordinate(z)), m_layout.grid - 1);
    return sampleHeight(col, row);
}

float Terrain::heightAndNormalAt(float x, float z, Vec3& normal) const
{
    normal = Vec3{0.0f, 1.0f, 0.0f};
    if (m_samples.empty())
        return 0.0f;
    const float cx = cellCoordinate(x);
    const float cz = cellCoordinate(z);
    const int col = std::min(static_cast<int>(cx), m_layout.grid - 1);
    const int row = std::min(static_cast<int>(cz), m_layout.grid - 1);
    const float fx = cx - static_cast<float>(col);
    const float fz = cz - static_cast<float>(row);
    const float h00 = sampleHeight(col, row);
    const float h10 = sampleHeight(col + 1, row);
    const float h01 = sampleHeight(col, row + 1);
    const float h11 = sampleHeight(col + 1, row + 1);
    const float cell = m_layout.cellSize;
    float height;
    Vec3 n;
    if (fx + fz <= 1.0f) {
        height = h00 + (h10 - h00) * fx + (h01 - h00) * fz;
        n = Vec3{-(h10 - h00), cell, -(h01 - h00)};
    } else {
        height = h11 + (h01 - h11) * (1.0f - fx) + (h10 - h11) * (1.0f - fz);
        n = Vec3{-(h11 - h01), cell, -(h11 - h10)};
    }
    const float half = size() * 0.5f;
    const bool outside = !(x >= -half && x <= half && z >= -half && z <= half);
    if (!outside)
        normal = vec3NormalizeOr(n, Vec3{0.0f, 1.0f, 0.0f});
    return height;
}

const TerrainPatches& Terrain::patches() const
{
    if (!m_patches)
        m_patches = std::make_unique<TerrainPatches>(*this);
    return *m_patches;
}

int terrainLevelBias(int qualityTier) { return qualityTier <= 1 ? 1 : 0; }

void Terrain::updateVisible(float fieldOfView, const WorldView& view, int levelBias)
{
    const int bias = std::max(levelBias, 0);
    m_visible.clear();
    const TerrainPatches& all = patches();
    const auto& list = all.patches();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TerrainPatches::Patch& patch = list[i];
        if (!view.boxVisible(patch.boundsMin, patch.boundsMax))
            continue;
        const int level = std::min(all.chooseLevel(patch, view.eye, fieldOfView) + bias, TerrainPatches::kLevels - 1);
        m_visible.push_back(VisiblePatch{static_cast<int>(i), level});
    }
    // Near to far: nearer ground drawn first hides what lies behind it before
    // that is shaded.
    auto distance = [&list, &view](const VisiblePatch& vp) {
        const TerrainPatches::Patch& p = list[static_cast<std::size_t>(vp.patch)];
        const Vec3 centre = (p.boundsMin + p.boundsMax) * 0.5f;
        const float dx = centre.x - view.eye.x, dz = centre.z - view.eye.z;
        return dx * dx + dz * dz;
    };
    std::stable_sort(m_visible.begin(), m_visible.end(),
                     [&distance](const VisiblePatch& a, const VisiblePatch& b) { return distance(a) < distance(b); });
}
