#include "GlCallCounter.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <type_traits>

namespace {

long s_calls = 0;

// One counting stand-in per dispatch pointer: it counts, then calls the
// context's own function. That is looked up by name rather than taken from the
// pointer, which may still hold libepoxy's resolver, and the resolver calls
// through the pointer again.
template <auto* Slot, typename F>
struct Counted;

template <auto* Slot, typename R, typename... Args>
struct Counted<Slot, R (*)(Args...)> {
    static inline R (*real)(Args...) = nullptr;
    static inline R (*saved)(Args...) = nullptr;
    static R call(Args... args)
    {
        ++s_calls;
        return real(args...);
    }
    // An entry point the context lacks stays as it is: the renderer cannot call it either.
    static void install(const char* name)
    {
        real = reinterpret_cast<R (*)(Args...)>(SDL_GL_GetProcAddress(name));
        if (!real)
            return;
        saved = *Slot;
        *Slot = &call;
    }
    static void uninstall()
    {
        if (real)
            *Slot = saved;
        real = saved = nullptr;
    }
};

template <auto* Slot>
using CountedSlot = Counted<Slot, std::remove_pointer_t<decltype(Slot)>>;

// Every GL entry point the renderer calls (the gl* names in src/render/gl).
#define SKYFRONT_GL_ENTRY_POINTS(X) \
    X(glActiveTexture) \
    X(glAttachShader) \
    X(glBeginQuery) \
    X(glBeginQueryEXT) \
    X(glBindAttribLocation) \
    X(glBindBuffer) \
    X(glBindFramebuffer) \
    X(glBindRenderbuffer) \
    X(glBindTexture) \
    X(glBlendFunc) \
    X(glBufferData) \
    X(glBufferSubData) \
    X(glCheckFramebufferStatus) \
    X(glClear) \
    X(glClearColor) \
    X(glColorMask) \
    X(glCompileShader) \
    X(glCreateProgram) \
    X(glCreateShader) \
    X(glCullFace) \
    X(glDeleteBuffers) \
    X(glDeleteFramebuffers) \
    X(glDeleteProgram) \
    X(glDeleteQueries) \
    X(glDeleteQueriesEXT) \
    X(glDeleteRenderbuffers) \
    X(glDeleteShader) \
    X(glDeleteTextures) \
    X(glDepthFunc) \
    X(glDepthMask) \
    X(glDisable) \
    X(glDisableVertexAttribArray) \
    X(glDrawArrays) \
    X(glDrawElements) \
    X(glEnable) \
    X(glEnableVertexAttribArray) \
    X(glEndQuery) \
    X(glEndQueryEXT) \
    X(glFramebufferRenderbuffer) \
    X(glFramebufferTexture2D) \
    X(glGenBuffers) \
    X(glGenFramebuffers) \
    X(glGenQueries) \
    X(glGenQueriesEXT) \
    X(glGenRenderbuffers) \
    X(glGenTextures) \
    X(glGetError) \
    X(glGetIntegerv) \
    X(glGetProgramInfoLog) \
    X(glGetProgramiv) \
    X(glGetQueryObjectuiv) \
    X(glGetQueryObjectuivEXT) \
    X(glGetShaderInfoLog) \
    X(glGetShaderiv) \
    X(glGetString) \
    X(glGetUniformLocation) \
    X(glLinkProgram) \
    X(glPixelStorei) \
    X(glPolygonOffset) \
    X(glReadPixels) \
    X(glRenderbufferStorage) \
    X(glScissor) \
    X(glShaderSource) \
    X(glStencilFunc) \
    X(glStencilMask) \
    X(glStencilOp) \
    X(glStencilOpSeparate) \
    X(glTexImage2D) \
    X(glTexParameteri) \
    X(glUniform1f) \
    X(glUniform1i) \
    X(glUniform2f) \
    X(glUniform3f) \
    X(glUniform4f) \
    X(glUniformMatrix4fv) \
    X(glUseProgram) \
    X(glVertexAttrib4f) \
    X(glVertexAttribPointer) \
    X(glViewport)

// The bare name is neither expanded into libepoxy's macro nor pasted twice.
#define SKYFRONT_INSTALL(name) CountedSlot<&epoxy_##name>::install(#name);
#define SKYFRONT_UNINSTALL(name) CountedSlot<&epoxy_##name>::uninstall();

}  // namespace

GlCallCounter::GlCallCounter()
{
    s_calls = 0;
    SKYFRONT_GL_ENTRY_POINTS(SKYFRONT_INSTALL)
}

GlCallCounter::~GlCallCounter()
{
    SKYFRONT_GL_ENTRY_POINTS(SKYFRONT_UNINSTALL)
}

long GlCallCounter::calls() const
{
    return s_calls;
}
