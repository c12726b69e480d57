#pragma once
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "GlTestContext.h"
#include "render/2d/SpriteSets.h"
#include "render/RenderBuffer.h"

#include <benchmark/benchmark.h>

#include <string>

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
