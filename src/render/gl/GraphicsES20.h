#pragma once
#include "render/BufferObject.h"
#include "render/GpuProgram.h"
#include "render/Graphics.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// The GL implementation of Graphics over an ES 2.0 (or later) context, or a
// desktop 2.1 context as fallback, through libepoxy.
class GraphicsES20 : public Graphics {
public:
    GraphicsES20();
    ~GraphicsES20() override;

    // Needs the window's context current. Reads what the context supports,
    // compiles the built-in programs and makes the shared quad indices, the
    // full-screen quad and the white texture. False, with error() saying which
    // step failed (and the compiler log), when any of that fails.
    [[nodiscard]] bool init(int screenWidth, int screenHeight);
    void shutdown() override;
    const std::string& error() const { return m_error; }
    ShaderDialect dialect() const { return m_dialect; }

    GpuProgram& builtinProgram(BuiltinProgram which) { return m_programs[static_cast<int>(which)]; }

    void applyState() override;
    void setProjectionMatrix(const Mat4& m) override;
    void setViewMatrix(const Mat4& m) override;
    void setWorldMatrix(const Mat4& m) override;

    void setRenderTarget(RenderBuffer* target) override;
    void setViewport(int x, int y, int width, int height) override;
    void setClearColor(const Color4& color) override;
    void clear() override;
    void setScissor(bool enabled, int x, int y, int width, int height) override;

    void setVertexLayout(VertexLayout layout, const void* vertices) override;
    void setBufferVertexLayout(VertexLayout layout, std::size_t byteOffset) override;
    void invalidateVertexLayout() override;
    void bindBuffer(BufferTarget target, unsigned int glName) override;
    void invalidateBufferBindings() override;

    void drawArrays(PrimitiveType type, int first, int count) override;
    void drawIndexed(PrimitiveType type, std::span<const std::uint16_t> indices) override;
    void drawIndexedBuffer(PrimitiveType type, int count, std::size_t byteOffset) override;
    void drawQuads(int quadCount) override;
    void drawFullScreenQuad() override;

    void readPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba) override;
    bool copyTargetTo(Texture2D& texture, int width, int height) override;
    // Waits until the GPU has carried out every queued draw (frame timing).
    void finish();
    const Texture2D* whiteTexture() const override { return m_white.get(); }
    void bindExtraTexture(int unit, const Texture2D* texture) override;

private:
    struct AppliedState;
    [[nodiscard]] bool readContext();
    bool buildPrograms();
    bool makeSharedGeometry();
    void applyFixedState();
    void applyProgram();
    void uploadUniforms(GpuProgram& program);
    void applyVertexColor(bool force);
    void applyTextures();
    void pointAttributes(VertexLayout layout, std::uintptr_t base);

    std::string m_error;
    ShaderDialect m_dialect = ShaderDialect::Es100;
    std::array<GpuProgram, kBuiltinProgramCount> m_programs;
    GpuProgram* m_currentProgram = nullptr;
    unsigned int m_currentProgramName = 0;     // a program rebuilt in place gets a new name
    std::unique_ptr<AppliedState> m_applied;   // what GL holds, to skip unchanged calls
    BufferObject m_quadIndices;
    BufferObject m_fullScreenQuad;
    std::unique_ptr<Texture2D> m_white;
    VertexLayout m_layout = VertexLayout::None;
    std::array<unsigned int, 2> m_boundBuffers{};
    // What the attribute pointers were last set to, so a draw from the same
    // place (the sprite batch, a model page) skips setting them again.
    struct Pointed {
        bool valid = false;
        VertexLayout layout = VertexLayout::None;
        std::uintptr_t base = 0;
        unsigned int buffer = 0;
    } m_pointed;
    struct Scissor {
        bool known = false, enabled = false;
        int x = 0, y = 0, width = 0, height = 0;
    } m_scissor;
    bool m_initialised = false;
};
