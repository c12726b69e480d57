#pragma once
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "GlTestContext.h"
#include "render/2d/SpriteSets.h"
#include "render/RenderBuffer.h"
#include "ui/MenuNavigation.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

// The menu benchmarks' set-up: the staged data in English at a screen of that
// size, and a GL target as large made current. False, with the benchmark
// skipped and the reason given, when there is no GL or no target.
inline bool readyMenuTarget(benchmark::State& state, RenderBuffer& target, int width = 1280, int height = 720)
{
    GlTestContext* context = GlTestContext::instance();
    if (!context) {
        state.SkipWithError(GlTestContext::why().c_str());
        return false;
    }
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    (void)setLanguageByCode("EN");
    setScreenSize(width, height);
    setSpriteLoadScale(screenMetrics().spriteScale);
    if (!target.createTexture(TextureFormat::Rgba8, width, height, kClampSampler)) {
        state.SkipWithError(("no " + std::to_string(width) + " x " + std::to_string(height) + " target").c_str());
        return false;
    }
    context->device().setRenderTarget(&target);
    return true;
}

// A menu benchmark's target at 60 frames a second and the one-pixel read-back
// that waits for a drawn frame. Leaving it clears the page history.
struct MenuBenchFrame {
    RenderBuffer target;
    std::vector<std::uint8_t> pixel;

    bool ready(benchmark::State& state, int width = 1280, int height = 720)
    {
        if (!readyMenuTarget(state, target, width, height))
            return false;
        setFrameDelta(1.0f / 60.0f);
        return true;
    }
    void sync() { GlTestContext::instance()->device().readPixels(0, 0, 1, 1, pixel); }
    ~MenuBenchFrame() { clearFrameHistory(); }
};

// The loops the menu benchmarks time on the page shown: update alone, update
// with the draw waited for, and the draw handed to GL without the wait.
inline void timeMenuUpdates(benchmark::State& state)
{
    for (auto _ : state)
        updateMenuFrames();
}

inline void timeMenuFrames(benchmark::State& state, MenuBenchFrame& frame)
{
    for (auto _ : state) {
        updateMenuFrames();
        drawMenuFrames();
        frame.sync();
    }
}

inline void timeMenuDrawSubmit(benchmark::State& state, MenuBenchFrame& frame)
{
    int frames = 0;
    for (auto _ : state) {
        drawMenuFrames();
        if (++frames % 64 == 0)
            frame.sync();   // keeps the driver's queue short
    }
}
