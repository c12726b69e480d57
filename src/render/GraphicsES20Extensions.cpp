#include "render/GraphicsES20Extensions.h"

bool GraphicsES20Extensions::load()
{
    return true;
}
