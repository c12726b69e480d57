// The sky's horizon band: thin streaks of high cloud low over the horizon,
// laid over the scattering colours by the sky dome.
#include "DataTool.h"
#include "SheetImage.h"
#include "WorldNoise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The dome repeats the band four times around the horizon; the top row meets
// the sky above about 20 degrees, the bottom row the horizon.
constexpr int kWidth = 512, kHeight = 128;

float smoothstep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Cloud cover at (u, v), both 0..1; u wraps.
float streakDensity(const WorldNoise& broad, const WorldNoise& fine, float u, float v)
{
    // Lattices far wider than tall draw the streaks out along the horizon;
    // the fine layer frays their edges.
    const float body = broad.fractal(u * 5.0f, v * 9.0f, 4, 5);
    const float wisps = fine.fractal(u * 24.0f, v * 30.0f, 3, 24);
    return body * 0.8f + wisps * 0.2f;
}

bool buildSkyBand(DataContext& context)
{
    const WorldNoise broad(9127u), fine(30571u);
    SheetImage image(kWidth, kHeight);
    if (!image.valid()) {
        context.error("sky: cannot make the horizon band");
        return false;
    }
    std::vector<float> density(static_cast<std::size_t>(kWidth * kHeight));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            density[static_cast<std::size_t>(y * kWidth + x)] =
                streakDensity(broad, fine, (x + 0.5f) / kWidth, (y + 0.5f) / kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const float v = (y + 0.5f) / kHeight;
        // Clear above the band and in the haze at the horizon, so the rows
        // that the repeat wraps together are both empty.
        const float band = smoothstep(0.04f, 0.3f, v) * (1.0f - smoothstep(0.72f, 0.95f, v));
        for (int x = 0; x < kWidth; ++x) {
            const float d = density[static_cast<std::size_t>(y * kWidth + x)];
            const float cover = smoothstep(0.48f, 0.72f, d) * band;
            // Lit from above: a streak whose cover thins upward is bright on
            // top and a bluer grey underneath.
            const float above = density[static_cast<std::size_t>(std::max(y - 3, 0) * kWidth + x)];
            const float lit = std::clamp(0.6f + (d - above) * 6.0f, 0.0f, 1.0f);
            const float r = 0.82f + 0.18f * lit, g = 0.85f + 0.15f * lit, b = 0.92f + 0.08f * lit;
            const auto byte = [](float c) { return static_cast<std::uint8_t>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)); };
            image.setPixel(x, y, byte(r), byte(g), byte(b), byte(cover * 0.85f));
        }
    }
    const std::vector<std::uint8_t> png = image.encodePng();
    if (png.empty()) {
        context.error("sky: cannot encode the horizon band");
        return false;
    }
    return context.writeFile("data/sky/horizon.png", png);
}

}  // namespace

SKYFRONT_DATA_STEP(615, "sky art", buildSkyBand);
