// Briefing maps (data/sprites/c*m*.bspr): a sheet that reads in becomes a
// list of steps whatever codes its frames place, and playing the steps to
// their end moves every element to finite places with at most as many
// visible steps as there are.
#include "FuzzTarget.h"

#include "menus/frontend/BriefingMapMenu.h"
#include "render/2d/SpriteSheet.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    SpriteSheet sheet;
    if (!readSpriteSheet(fuzz::bytes(data, size), sheet))
        return 0;
    const float w0 = sheet.modules.empty() || sheet.modules[0].w == 0 ? 1.0f : sheet.modules[0].w;
    BriefingMapMenu::StepList list =
        BriefingMapMenu::buildSteps(sheet, sheet.sheetScale, 20.0f, 30.0f, 400.0f / w0, 32.0f);
    FUZZ_CHECK(list.steps.size() <= sheet.animFrames.size());
    FUZZ_CHECK(list.sideFlag == 0 || list.sideFlag == 1);
    int total = 0;
    for (const BriefingMapMenu::Step& step : list.steps) {
        total += step.duration;
        FUZZ_CHECK(step.keepFrom >= 0);
    }
    // Every step plays, and a little past the end.
    for (int t = 0; t < total + 2 && t < 200000; ++t) {
        list.advance();
        const std::vector<int> shown = list.visibleSteps();
        FUZZ_CHECK(shown.size() <= list.steps.size());
        for (int i : shown)
            FUZZ_CHECK(i >= 0 && i < static_cast<int>(list.steps.size()));
    }
    for (const BriefingMapMenu::Step& step : list.steps)
        for (const auto& elem : step.elems)
            FUZZ_CHECK(std::isfinite(elem->x) && std::isfinite(elem->y));
    return 0;
}
