#include "entities/EntityHandle.h"

#include "entities/Target.h"

EntityHandle::EntityHandle(const Target* target)
{
    if (target && target->hasId()) {
        m_id = target->id();
        m_serial = target->serial();
    }
}

Target* EntityHandle::resolve() const
{
    if (m_serial == 0)
        return nullptr;
    Target* t = Target::byId(m_id);
    return t && t->serial() == m_serial ? t : nullptr;
}

bool EntityHandle::refersTo(const Target* target) const
{
    return target && m_serial != 0 && target->serial() == m_serial && target->id() == m_id;
}
