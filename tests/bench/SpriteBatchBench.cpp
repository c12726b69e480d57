// The 2-D batch's own cost for a page's worth of quads: widgets on one
// texture with labels on another over them, as a settings page draws them.
// No display needed:  build/tests/bench/sprite_batch_bench
#include "render/2d/SpriteBatch.h"

#include <benchmark/benchmark.h>

namespace {

void addRect(SpriteBatch& batch, float x0, float y0, float x1, float y1, const Texture2D* texture)
{
    const SpriteVertex quad[4] = {{x0, y0, 0, {}, 0, 0}, {x1, y0, 0, {}, 1, 0}, {x0, y1, 0, {}, 0, 1},
                                  {x1, y1, 0, {}, 1, 1}};
    batch.addQuad(quad, texture);
}

// range(0): widgets; each is a 300 x 40 frame, a thumb and a 12-letter label.
void spriteBatchPage(benchmark::State& state)
{
    SpriteBatch batch;
    batch.setScreenSize(1280, 720);
    int draws = 0;
    batch.setDrawHook([&draws](std::span<const SpriteVertex>, const Texture2D*, const ClipRect&) { ++draws; });
    int sheet = 0, font = 0;
    const auto* sheetTexture = reinterpret_cast<const Texture2D*>(&sheet);
    const auto* fontTexture = reinterpret_cast<const Texture2D*>(&font);
    const int widgets = static_cast<int>(state.range(0));
    for (auto _ : state) {
        draws = 0;
        addRect(batch, 0, 0, 1280, 720, sheetTexture);   // the page's backdrop
        for (int i = 0; i < widgets; ++i) {
            const float x = static_cast<float>(40 + (i / 14) * 420), y = static_cast<float>(20 + (i % 14) * 48);
            addRect(batch, x, y, x + 300, y + 40, sheetTexture);
            addRect(batch, x + 140, y + 4, x + 172, y + 36, sheetTexture);
            for (int letter = 0; letter < 12; ++letter)
                addRect(batch, x + 10 + letter * 10.0f, y + 12, x + 19 + letter * 10.0f, y + 28, fontTexture);
        }
        batch.flush();
        benchmark::DoNotOptimize(draws);
    }
    state.counters["draws"] = draws;
}
BENCHMARK(spriteBatchPage)->Arg(10)->Arg(40)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
