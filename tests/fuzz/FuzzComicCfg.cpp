// Comic records (data/comics/*.cfg): whatever the text, the comic either has
// slides that all name a sheet or none at all, and the comic page's views
// set up, pan, zoom and ease without a size of zero turning into infinities.
#include "FuzzTarget.h"

#include "menus/frontend/ComicCfg.h"
#include "menus/frontend/ComicsMenuFrame.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    ComicCfg comic;
    const bool loaded = comic.loadText(fuzz::text(data, size), ComicCfg::kEndToResult);
    FUZZ_CHECK(loaded == (comic.slideCount() > 0));
    FUZZ_CHECK(comic.endMode == ComicCfg::kEndToResult);
    for (int i = 0; i < comic.slideCount(); ++i) {
        const ComicSlide* slide = comic.slide(i);
        FUZZ_CHECK(slide && !slide->sprite.empty());
    }
    FUZZ_CHECK(comic.slide(comic.slideCount()) == nullptr);

    // The views with sizes taken from the bytes, zero included.
    ComicSlideView view;
    view.width = size > 0 ? data[0] % 4 * 700 : 0;
    view.height = size > 1 ? data[1] % 4 * 500 : 0;
    view.fit(1280, 720);
    for (std::size_t i = 0; i + 1 < size && i < 64; i += 2) {
        const float dx = static_cast<float>(static_cast<std::int8_t>(data[i])) * 4.0f;
        const float dy = static_cast<float>(static_cast<std::int8_t>(data[i + 1])) * 4.0f;
        if (data[i] & 1)
            view.toggleZoom(640.0f + dx, 360.0f + dy, 1280, 720);
        view.pan(dx, dy, 1280, 720);
        view.ease((data[i + 1] & 1) != 0, 1.0f / 60.0f, 1280, 720);
        FUZZ_CHECK(std::isfinite(view.x) && std::isfinite(view.y) && std::isfinite(view.zoom));
    }
    return 0;
}
