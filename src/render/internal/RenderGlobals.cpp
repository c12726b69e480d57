#include "render/internal/RenderGlobals.h"

#include "render/Graphics.h"
#include "render/Renderer.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GlObject.h"
#include "render/gl/GraphicsES20Extensions.h"

#include <memory>
#include <utility>

RenderGlobals& renderGlobals()
{
    // Never destroyed: objects of other libraries destroyed at exit may still
    // unlink from it. shutdownRenderer has emptied the caches by then.
    static RenderGlobals* globals = new RenderGlobals();
    return *globals;
}

RenderCaches& RenderGlobals::caches()
{
    if (!m_caches)
        m_caches = std::make_unique<RenderCaches>();
    return *m_caches;
}

void SpriteTables::unloadAll()
{
    // Made anew in place: the tint and scale a caller left go too, and the
    // pointers callers keep stay good.
    const auto unload = [](auto& loaded, bool& tried) {
        loaded.free();
        std::destroy_at(&loaded);
        std::construct_at(&loaded);
        tried = false;
    };
    for (SpriteSlot& slot : sets)
        unload(slot.sprite, slot.tried);
    for (SpriteSlot* slot : {&menuPanel, &hudCorners})
        unload(slot->sprite, slot->tried);
    for (FontSlot& slot : fonts)
        unload(slot.font, slot.tried);
    unload(hudFont.font, hudFont.tried);
    loadScale = 2.0f;
    hudFontScale = 1.0f;
}

void RenderGlobals::dropCaches()
{
    // Their textures go back to the cache while it lives.
    sprites.unloadAll();
    ++m_cachesDropped;
    // Taken out before it is freed: what the old caches release on the way
    // reaches no half-destroyed set.
    std::unique_ptr<RenderCaches> old = std::move(m_caches);
    old.reset();
}

void resetRenderGlobals()
{
    // The device points at the scene target; it lets go first.
    PostProcess::destroyTargets();
    renderGlobals().dropCaches();
}

void shutdownRenderer()
{
    RenderGlobals& g = renderGlobals();
    resetRenderGlobals();
    if (g.extensions)
        g.extensions->unload();
    if (g.device)
        g.device->shutdown();
    GlObject::freeAllGlNames();
    g.extensions = nullptr;
    g.device = nullptr;
}
