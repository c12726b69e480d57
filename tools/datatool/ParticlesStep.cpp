// Step 210: the particle descriptions. Every assets/fx/<name>.psc is read with
// the game's record reader into a PConfig (an unknown member or a malformed
// value stops the build) and written with the record writer twice:
// "data/FX/<name>" for the normal qualities and "data/FX/NV/<name>" for the
// top quality, which draws denser effects of finer particles.
#include "DataTool.h"

#include "effects/particles/PConfig.h"
#include "platform/CSerializable.h"

#include <cmath>

namespace {
constexpr float kDenser = 1.5f;    // top quality: emissions per group
constexpr float kFiner = 0.85f;    // and their sizes

void scaleRange(float& min, float& max, float factor)
{
    if (min >= kUnsetBelow)
        min *= factor;
    if (max >= kUnsetBelow)
        max *= factor;
}

// The top-quality variant of a description.
void makeDenser(PConfig& config)
{
    for (int g = 0; g < config.groups.count(); ++g) {
        PGroup& group = *config.groups.at(g);
        if (group.countMin > 0)
            group.countMin = static_cast<int>(std::lround(static_cast<float>(group.countMin) * kDenser));
        if (group.countMax > 0)
            group.countMax = static_cast<int>(std::lround(static_cast<float>(group.countMax) * kDenser));
        if (group.countMin == -1 && group.countMax == -1 && group.spawnInterval > 0.0f)
            group.spawnInterval /= kDenser;
        for (int s = 0; s < group.stages.count(); ++s) {
            PStage& stage = *group.stages.at(s);
            scaleRange(stage.sizeMin, stage.sizeMax, kFiner);
        }
    }
}

bool buildParticles(DataContext& context)
{
    for (const auto& source : listFolder(context.sourceDir() / "fx", Listing::Files, ".psc")) {
        std::string body;
        if (!readSourceFile(source, body)) {
            context.error("cannot read " + source.string());
            continue;
        }
        PConfig config;
        std::string error;
        if (!readRecord(body, source.string(), config, error)) {
            context.error(error);
            continue;
        }
        const std::string name = source.filename().string();
        context.writeFile("data/FX/" + name, writeRecord(config));
        makeDenser(config);
        context.writeFile("data/FX/NV/" + name, writeRecord(config));
    }
    return !context.failed();
}
}  // namespace

SKYFRONT_DATA_STEP(210, "particle descriptions", buildParticles);
