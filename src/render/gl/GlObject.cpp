#include "render/gl/GlObject.h"

#include "render/internal/RenderGlobals.h"

GlObject::GlObject()
{
    GlObject*& first = renderGlobals().glObjects;
    m_next = first;
    if (first)
        first->m_previous = this;
    first = this;
}

GlObject::~GlObject()
{
    if (m_previous)
        m_previous->m_next = m_next;
    else
        renderGlobals().glObjects = m_next;
    if (m_next)
        m_next->m_previous = m_previous;
}

void GlObject::freeAllGlNames()
{
    for (GlObject* object = renderGlobals().glObjects; object; object = object->m_next)
        object->freeGlNames();
}
