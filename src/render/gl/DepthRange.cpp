#include "render/DepthRange.h"

#include "render/Graphics.h"

#include <algorithm>

#include <epoxy/gl.h>

void setDepthRange(float nearValue, float farValue)
{
    if (!graphics())
        return;
    glDepthRangef(std::clamp(nearValue, 0.0f, 1.0f), std::clamp(farValue, 0.0f, 1.0f));
}
