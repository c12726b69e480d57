#include "render/BufferObject.h"

#include "render/Graphics.h"
#include "render/gl/GlContext.h"

#include <epoxy/gl.h>

namespace {

GLenum glTarget(BufferTarget target)
{
    return target == BufferTarget::Array ? GL_ARRAY_BUFFER : GL_ELEMENT_ARRAY_BUFFER;
}

GLenum glUsage(BufferUsage usage)
{
    switch (usage) {
    case BufferUsage::Static: return GL_STATIC_DRAW;
    case BufferUsage::Dynamic: return GL_DYNAMIC_DRAW;
    case BufferUsage::Stream: return GL_STREAM_DRAW;
    }
    return GL_STATIC_DRAW;
}

}  // namespace

BufferObject::~BufferObject()
{
    destroy();
}

bool BufferObject::create(BufferTarget target, std::size_t bytes, BufferUsage usage, const void* data)
{
    Graphics* device = graphics();
    destroy();
    if (device == nullptr || bytes == 0)
        return false;
    m_target = target;
    glGenBuffers(1, &m_glName);
    device->bindBuffer(target, m_glName);
    clearGlErrors();
    glBufferData(glTarget(target), static_cast<GLsizeiptr>(bytes), data, glUsage(usage));
    if (glGetError() != GL_NO_ERROR) {
        destroy();
        return false;
    }
    m_size = bytes;
    return true;
}

bool BufferObject::update(std::size_t offset, const void* data, std::size_t bytes)
{
    Graphics* device = graphics();
    if (device == nullptr || m_glName == 0 || offset > m_size || bytes > m_size - offset || data == nullptr)
        return false;
    device->bindBuffer(m_target, m_glName);
    glBufferSubData(glTarget(m_target), static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes), data);
    return true;
}

void BufferObject::destroy()
{
    if (m_glName != 0) {
        // GL unbinds a deleted buffer; the device's binding cache must agree.
        if (Graphics* device = graphics())
            device->invalidateBufferBindings();
        glDeleteBuffers(1, &m_glName);
    }
    m_glName = 0;
    m_size = 0;
}

void BufferObject::freeGlNames()
{
    destroy();
}

void BufferObject::bind() const
{
    if (Graphics* device = graphics())
        device->bindBuffer(m_target, m_glName);
}
