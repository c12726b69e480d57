#pragma once
#include "platform/ManagedArray.h"
#include "render/gl/GlObject.h"

#include <cstddef>
#include <cstdint>

enum class BufferTarget : std::uint8_t { Array = 0, ElementArray = 1 };
enum class BufferUsage : std::uint8_t { Static = 0, Dynamic = 1, Stream = 2 };

// A GL vertex or index buffer. Made empty; `create` makes the GL object, so a
// buffer can be declared before the context exists.
class BufferObject final : public ManagedArray<BufferObject, 2048>, private GlObject {
public:
    BufferObject() = default;
    ~BufferObject();
    BufferObject(const BufferObject&) = delete;
    BufferObject& operator=(const BufferObject&) = delete;

    // Makes (or remakes) the buffer with `bytes` of storage, filled from `data`
    // when given. False when no device exists or GL fails.
    [[nodiscard]] bool create(BufferTarget target, std::size_t bytes, BufferUsage usage,
                              const void* data = nullptr);
    // Writes into the storage; false when the range does not fit or no buffer exists.
    [[nodiscard]] bool update(std::size_t offset, const void* data, std::size_t bytes);
    void destroy();

    // Binds through the device's binding cache.
    void bind() const;

    unsigned int glName() const { return m_glName; }
    BufferTarget target() const { return m_target; }
    std::size_t size() const { return m_size; }

private:
    void freeGlNames() override;

    unsigned int m_glName = 0;
    BufferTarget m_target = BufferTarget::Array;
    std::size_t m_size = 0;
};
