#include "render/ModelBuffers.h"

#include "render/Model.h"

bool ModelBuffers::upload(Model&)
{
    return false;
}

void ModelBuffers::release()
{
}
