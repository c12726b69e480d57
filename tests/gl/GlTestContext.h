#pragma once
#include "render/gl/GraphicsES20.h"
#include "render/RenderBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// A hidden SDL window with a GL context (ES 2.0 first, then desktop 2.1) and
// an initialised GraphicsES20, made once per test process.
class GlTestContext {
public:
    // Null, with why() saying so, when no context can be made.
    static GlTestContext* instance();
    static const std::string& why();
    GraphicsES20& device() { return m_device; }

private:
    GlTestContext() = default;
    GraphicsES20 m_device;
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};
std::ostream& operator<<(std::ostream& out, const Rgba& c);

// Each channel within `tolerance` of the expected one.
testing::AssertionResult colorNear(const Rgba& actual, const Rgba& expected, int tolerance = 3);
// Only red, green and blue compared.
testing::AssertionResult rgbNear(const Rgba& actual, const Rgba& expected, int tolerance = 3);

// Fixture: a fresh offscreen RGBA target (64 x 64 unless resized with
// useTarget) bound as the current target, identity matrices and the default
// render state. Tests are skipped when no GL context exists.
class GlTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GraphicsES20& gfx() { return m_context->device(); }
    // Replaces the target by one of another size (and binds it).
    void useTarget(int width, int height);
    RenderBuffer& target() { return m_target; }

    // Pixels of the current target; (0, 0) is the bottom left.
    Rgba pixel(int x, int y);
    std::vector<Rgba> rect(int x, int y, int width, int height);
    Rgba centre() { return pixel(m_target.width() / 2, m_target.height() / 2); }

    void clearTo(const Rgba& color);
    // A quad from (x0, y0) to (x1, y1) at depth z, in the PosColorTex24 layout
    // with one color at every vertex, drawn from client memory with the
    // current state.
    void drawQuad(float x0, float y0, float x1, float y1, float z, const Rgba& color);

private:
    GlTestContext* m_context = nullptr;
    RenderBuffer m_target;
};
