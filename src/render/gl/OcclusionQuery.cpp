#include "render/OcclusionQuery.h"

#include "render/Graphics.h"
#include "render/gl/GlContext.h"

#include <epoxy/gl.h>

// ES 2.0 has the queries only as an extension with its own entry points.
namespace {

bool usable()
{
    const Graphics* device = graphics();
    return device != nullptr && device->occlusionQuerySupported();
}

}  // namespace

OcclusionQuery::~OcclusionQuery()
{
    destroy();
}

bool OcclusionQuery::create()
{
    destroy();
    if (!usable())
        return false;
    if (glContextInfo().queryIsExtension)
        glGenQueriesEXT(1, &m_glName);
    else
        glGenQueries(1, &m_glName);
    return m_glName != 0;
}

void OcclusionQuery::destroy()
{
    if (m_glName != 0) {
        if (m_active)
            end();
        if (glContextInfo().queryIsExtension)
            glDeleteQueriesEXT(1, &m_glName);
        else
            glDeleteQueries(1, &m_glName);
    }
    m_glName = 0;
    m_issued = false;
    m_active = false;
}

void OcclusionQuery::freeGlNames()
{
    destroy();
}

void OcclusionQuery::begin()
{
    if (m_glName == 0 || m_active)
        return;
    if (graphics())
        graphics()->applyState();
    if (glContextInfo().queryIsExtension)
        glBeginQueryEXT(glContextInfo().queryTarget, m_glName);
    else
        glBeginQuery(glContextInfo().queryTarget, m_glName);
    m_active = true;
}

void OcclusionQuery::end()
{
    if (m_glName == 0 || !m_active)
        return;
    if (glContextInfo().queryIsExtension)
        glEndQueryEXT(glContextInfo().queryTarget);
    else
        glEndQuery(glContextInfo().queryTarget);
    m_active = false;
    m_issued = true;
}

bool OcclusionQuery::resultAvailable() const
{
    if (m_glName == 0 || !m_issued || m_active)
        return false;
    GLuint available = GL_FALSE;
    if (glContextInfo().queryIsExtension)
        glGetQueryObjectuivEXT(m_glName, GL_QUERY_RESULT_AVAILABLE_EXT, &available);
    else
        glGetQueryObjectuiv(m_glName, GL_QUERY_RESULT_AVAILABLE, &available);
    return available != GL_FALSE;
}

bool OcclusionQuery::result(std::uint32_t& samples)
{
    if (m_glName == 0 || !m_issued || m_active)
        return false;
    GLuint value = 0;
    if (glContextInfo().queryIsExtension)
        glGetQueryObjectuivEXT(m_glName, GL_QUERY_RESULT_EXT, &value);
    else
        glGetQueryObjectuiv(m_glName, GL_QUERY_RESULT, &value);
    m_result = value;
    samples = value;
    return true;
}
