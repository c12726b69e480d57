#include "render/internal/RenderGlobals.h"

#include "render/Graphics.h"
#include "render/Renderer.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GlObject.h"
#include "render/gl/GraphicsES20Extensions.h"

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

void RenderGlobals::dropCaches()
{
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
