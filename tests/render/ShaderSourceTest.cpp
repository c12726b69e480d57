#include "render/GpuProgram.h"
#include "render/shaders/ShaderSources.h"

#include <gtest/gtest.h>

namespace {

const char* const kBody = "precision mediump float;\nvarying lowp vec4 v_color;\nvoid main() { gl_FragColor = v_color; }\n";

TEST(ShaderSource, EsFragmentGetsVersionAndDefaultPrecision)
{
    const std::string out = prepareShaderSource(kBody, ShaderStage::Fragment, ShaderDialect::Es100);
    EXPECT_EQ(out.rfind("#version 100\n", 0), 0u);
    EXPECT_NE(out.find("precision mediump float;\n#endif"), std::string::npos);
    EXPECT_NE(out.find(kBody), std::string::npos);
}

TEST(ShaderSource, EsVertexHasNoAddedPrecision)
{
    const std::string out = prepareShaderSource("void main() {}\n", ShaderStage::Vertex, ShaderDialect::Es100);
    EXPECT_EQ(out, "#version 100\nvoid main() {}\n");
}

TEST(ShaderSource, DesktopDropsPrecisionStatementsAndEmptiesQualifiers)
{
    const std::string out = prepareShaderSource(std::string("#version 100\n") + kBody, ShaderStage::Fragment,
                                                ShaderDialect::Desktop120);
    EXPECT_EQ(out.rfind("#version 120\n", 0), 0u);
    EXPECT_EQ(out.find("#version 100"), std::string::npos);
    EXPECT_EQ(out.find("precision "), std::string::npos);
    EXPECT_NE(out.find("#define lowp\n"), std::string::npos);
    EXPECT_NE(out.find("varying lowp vec4 v_color;"), std::string::npos);
}

// The files of src/render/shaders as embedded by the build.
TEST(EmbeddedShaders, EachIsACompleteStageWithItsPiecesIncluded)
{
    ASSERT_FALSE(shaders::kEmbedded.empty());
    for (const shaders::EmbeddedShader& shader : shaders::kEmbedded) {
        SCOPED_TRACE(std::string(shader.file));
        const bool vertex = shader.file.ends_with(".vert");
        EXPECT_TRUE(vertex || shader.file.ends_with(".frag"));
        EXPECT_NE(shader.source.find("void main()"), std::string_view::npos);
        EXPECT_NE(shader.source.find(vertex ? "gl_Position =" : "gl_FragColor ="), std::string_view::npos);
        EXPECT_EQ(shader.source.find("#include"), std::string_view::npos);
        // The dialect step adds the version line.
        EXPECT_EQ(shader.source.find("#version"), std::string_view::npos);
    }
}

TEST(EmbeddedShaders, IncludedFogMatchesTheCpuRuleInBothDialects)
{
    // fog.glsl reaches the lit model vertex shader through its include; the
    // desktop form keeps it and drops nothing but precision statements.
    const std::string_view lit = shaders::kLitModelVert;
    EXPECT_NE(lit.find("float fogFactor(float distance, vec2 fogRange)"), std::string_view::npos);
    EXPECT_NE(lit.find("if (fogRange.y <= fogRange.x + 1.0)"), std::string_view::npos);
    const std::string desktop = prepareShaderSource(lit, ShaderStage::Vertex, ShaderDialect::Desktop120);
    EXPECT_NE(desktop.find("float fogFactor(float distance, vec2 fogRange)"), std::string::npos);
    EXPECT_EQ(desktop.find("precision "), std::string::npos);
}

TEST(FogFactor, LinearBetweenStartAndEnd)
{
    EXPECT_FLOAT_EQ(fogFactor(2000.0f, 3000.0f, 4000.0f), 0.0f);
    EXPECT_FLOAT_EQ(fogFactor(3500.0f, 3000.0f, 4000.0f), 0.5f);
    EXPECT_FLOAT_EQ(fogFactor(9000.0f, 3000.0f, 4000.0f), 1.0f);
}

TEST(FogFactor, InvertedOrTinyRangeFogsEverythingPastTheStart)
{
    EXPECT_FLOAT_EQ(fogFactor(2999.0f, 3000.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(fogFactor(3001.0f, 3000.0f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(fogFactor(3000.6f, 3000.0f, 3000.5f), 1.0f);
    EXPECT_FLOAT_EQ(fogFactor(2000.0f, 3000.0f, 3000.5f), 0.0f);
}

}  // namespace
