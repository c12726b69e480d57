#include "render/FragmentCounter.h"

#include <epoxy/gl.h>

FragmentCounter::~FragmentCounter()
{
    // The context may be gone by now: the name is dropped, not deleted.
    m_query = 0;
}

bool FragmentCounter::available()
{
    if (m_available < 0)
        m_available = epoxy_is_desktop_gl() && (epoxy_gl_version() >= 46 ||
                                                epoxy_has_gl_extension("GL_ARB_pipeline_statistics_query"))
                          ? 1
                          : 0;
    return m_available == 1;
}

double FragmentCounter::next(bool more)
{
    if (!available())
        return -1.0;
    double shaded = 0.0;
    if (m_running) {
        glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
        m_running = false;
        GLuint64 count = 0;
        glGetQueryObjectui64v(m_query, GL_QUERY_RESULT, &count);
        shaded = static_cast<double>(count);
    }
    if (more) {
        if (m_query == 0)
            glGenQueries(1, &m_query);
        glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, m_query);
        m_running = true;
    }
    return shaded;
}

void FragmentCounter::release()
{
    if (m_running)
        glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
    m_running = false;
    if (m_query != 0)
        glDeleteQueries(1, &m_query);
    m_query = 0;
    m_available = -1;
}

FragmentCounter& fragmentCounter()
{
    static FragmentCounter counter;
    return counter;
}
