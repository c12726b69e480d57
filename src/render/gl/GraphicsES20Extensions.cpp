#include "render/gl/GraphicsES20Extensions.h"

#include "render/RenderBuffer.h"
#include "render/gl/GraphicsES20.h"
#include "render/internal/RenderGlobals.h"

#include <epoxy/gl.h>

#include <algorithm>

bool GraphicsES20Extensions::load()
{
    m_effects.buildWhenUsed();
    return true;
}

void GraphicsES20Extensions::unload() { m_effects.destroy(); }

GraphicsES20Extensions* graphicsExtensions()
{
    return renderGlobals().extensions;
}

void setGraphicsExtensions(GraphicsES20Extensions* extensions)
{
    renderGlobals().extensions = extensions;
}

