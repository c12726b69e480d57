#include "render/Clouds.h"

#include "render/internal/VecOps.h"
#include "render/internal/WorldRandom.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kLayerAbove = 1800.0f;  // cloud floor above the cloud base
}

class Clouds::Gpu {};

Clouds::Clouds() = default;
Clouds::~Clouds() = default;

void Clouds::buildField(float amount, float cloudBase)
{
    m_puffs.clear();
    m_order.clear();
    if (!std::isfinite(amount))
        amount = 0.0f;
    if (amount < 0.0f)
        amount = kDefaultAmount;
    amount = std::min(amount, 1.0f);
    const float base = (std::isfinite(cloudBase) ? std::max(cloudBase, 0.0f) : 0.0f) + kLayerAbove;
    const int clusters = static_cast<int>(std::lround(amount * kMaxClusters));
    WorldRandom random(1234u + static_cast<std::uint32_t>(clusters));
    for (int c = 0; c < clusters; ++c) {
        const float a = random.range(0.0f, 2.0f * kPi);
        const float r = kFieldRadius * std::sqrt(random.unit());
        const Vec3 centre{r * std::cos(a), base + random.range(0.0f, 900.0f), r * std::sin(a)};
        const float spread = random.range(900.0f, 2200.0f);
        const int puffs = 6 + static_cast<int>(random.next() % 10u);
        for (int k = 0; k < puffs; ++k) {
            Puff p;
            const float up = random.unit();
            p.position = Vec3{centre.x + random.range(-spread, spread), centre.y + up * spread * 0.35f,
                              centre.z + random.range(-spread * 0.6f, spread * 0.6f)};
            p.size = random.range(700.0f, 1500.0f) * (1.0f - 0.3f * up);
            p.cell = static_cast<std::uint8_t>(random.next() & 15u);
            p.shade = 0.7f + 0.3f * up;
            m_puffs.push_back(p);
        }
    }
    relight(Vec3{1.0f, 1.0f, 1.0f}, Vec3{0.0f, 1.0f, 0.0f});
}

void Clouds::relight(const Vec3& sunColour, const Vec3& sunDirection)
{
    // Lit sides take the sun's colour; the sky's light keeps the undersides from going black.
    const float sunUp = vecops::clampf(vecops::normalizeOr(sunDirection, Vec3{0, 1, 0}).y, 0.0f, 1.0f);
    for (Puff& p : m_puffs) {
        const float lit = p.shade * (0.55f + 0.45f * sunUp);
        p.colour = Vec3{vecops::clampf(0.25f + sunColour.x * lit, 0.0f, 1.0f),
                        vecops::clampf(0.27f + sunColour.y * lit, 0.0f, 1.0f),
                        vecops::clampf(0.32f + sunColour.z * lit, 0.0f, 1.0f)};
    }
}

void Clouds::fillBuffer(const Vec3& eye)
{
    m_order.resize(m_puffs.size());
    std::vector<float> distance(m_puffs.size());
    for (std::size_t i = 0; i < m_puffs.size(); ++i) {
        m_order[i] = static_cast<std::uint32_t>(i);
        const Vec3 d = vecops::sub(m_puffs[i].position, eye);
        distance[i] = vecops::dot(d, d);
    }
    std::sort(m_order.begin(), m_order.end(),
              [&distance](std::uint32_t a, std::uint32_t b) { return distance[a] > distance[b]; });
}
