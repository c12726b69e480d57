#include "render/assets/ModelBuffers.h"
#include "platform/Log.h"

#include "render/BufferObject.h"
#include "render/Graphics.h"
#include "render/assets/Model.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/assets/TextureCache.h"
#include "render/internal/MatrixProduct.h"
#include "render/internal/RenderGlobals.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
// A page grows to at least this many vertices so that models loaded one by
// one after start-up share pages instead of each making its own.
constexpr std::size_t kMinPageVertices = 32768;
constexpr std::size_t kMinPageIndices = 98304;

using Page = ModelBufferPage;

std::vector<std::unique_ptr<Page>>& pages()
{
    return renderGlobals().caches().modelPages;
}

Page* newPage(std::size_t vertices, std::size_t indices)
{
    auto page = std::make_unique<Page>();
    page->vertexCapacity = std::max(vertices, kMinPageVertices);
    page->indexCapacity = std::max(indices, kMinPageIndices);
    if (!page->vertices.create(BufferTarget::Array, page->vertexCapacity * sizeof(GlmVertex), BufferUsage::Static) ||
        !page->indices.create(BufferTarget::ElementArray, page->indexCapacity * sizeof(std::uint16_t),
                              BufferUsage::Static))
        return nullptr;
    pages().push_back(std::move(page));
    return pages().back().get();
}

Page* pageWithRoom(std::size_t vertices, std::size_t indices)
{
    if (!pages().empty()) {
        Page& last = *pages().back();
        if (last.vertexCapacity - last.vertexUsed >= vertices && last.indexCapacity - last.indexUsed >= indices)
            return &last;
    }
    return newPage(vertices, indices);
}

// The node's page, or null when the node is not uploaded.
Page* pageOf(const Model::Node& node)
{
    if (node.bufferPage < 0 || static_cast<std::size_t>(node.bufferPage) >= pages().size())
        return nullptr;
    return pages()[static_cast<std::size_t>(node.bufferPage)].get();
}

// unbind: put the array and element buffers back to none afterwards; a loop
// over nodes leaves them bound and unbinds once at its end.
bool drawNodeTriangles(const Model& model, int index, bool unbind = true)
{
    Graphics* device = graphics();
    const Model::Node* node = model.node(static_cast<std::size_t>(index));
    if (!device || !node || !model.isUploaded() || node->indexCount == 0)
        return false;
    Page* page = pageOf(*node);
    if (!page)
        return false;
    page->vertices.bind();
    page->indices.bind();
    device->setBufferVertexLayout(VertexLayout::Model32, std::size_t{node->vertexBase} * sizeof(GlmVertex));
    device->drawIndexedBuffer(PrimitiveType::Triangles, static_cast<int>(node->indexCount),
                              std::size_t{node->firstIndex} * sizeof(std::uint16_t));
    // Later client-memory draws must not read from these buffers.
    if (unbind) {
        device->bindBuffer(BufferTarget::Array, 0);
        device->bindBuffer(BufferTarget::ElementArray, 0);
    }
    return true;
}
}  // namespace

bool ModelBuffers::upload(Model& model, const SamplerSettings* sampler)
{
    Graphics* device = graphics();
    if (!device || model.m_uploaded)
        return model.m_uploaded;
    std::size_t vertices = 0, indices = 0;
    for (const Model::Node& n : model.m_nodes) {
        vertices += n.vertices.size();
        indices += n.indices.size();
    }
    Page* page = pageWithRoom(vertices, indices);
    if (!page) {
        logWarning("render", "model \"%s\": cannot make the shared model buffers", model.m_name.c_str());
        return false;
    }
    const int pageIndex = static_cast<int>(pages().size() - 1);
    for (Model::Node& n : model.m_nodes) {
        const std::size_t vertexBytes = n.vertices.size() * sizeof(GlmVertex);
        const std::size_t indexBytes = n.indices.size() * sizeof(std::uint16_t);
        if ((vertexBytes && !page->vertices.update(page->vertexUsed * sizeof(GlmVertex), n.vertices.data(), vertexBytes)) ||
            (indexBytes && !page->indices.update(page->indexUsed * sizeof(std::uint16_t), n.indices.data(), indexBytes)))
            return false;
        n.bufferPage = pageIndex;
        n.vertexBase = static_cast<std::uint32_t>(page->vertexUsed);
        n.firstIndex = static_cast<std::uint32_t>(page->indexUsed);
        page->vertexUsed += n.vertices.size();
        page->indexUsed += n.indices.size();
    }
    device->bindBuffer(BufferTarget::Array, 0);
    device->bindBuffer(BufferTarget::ElementArray, 0);
    const SamplerSettings settings = sampler ? *sampler : SamplerSettings{device->qualityFilter(), TextureWrap::Repeat};
    for (std::size_t t = 0; t < model.m_textureNames.size(); ++t)
        if (!model.m_textures[t])
            model.m_textures[t] = getTexture(model.m_textureNames[t], settings);
    model.m_uploaded = true;
    return true;
}

void ModelBuffers::bindShared()
{
    Graphics* device = graphics();
    if (!device || pages().empty())
        return;
    pages().front()->vertices.bind();
    pages().front()->indices.bind();
    device->invalidateVertexLayout();
}

void ModelBuffers::release()
{
    pages().clear();
}

void drawModelNode(const Model& model, int node)
{
    drawNodeTriangles(model, node);
}

void drawModelNodeDistortion(const Model& model, int node, float strength)
{
    Graphics* device = graphics();
    GraphicsES20Extensions* extensions = graphicsExtensions();
    if (!device || !extensions)
        return;
    device->pushState();
    GpuProgramWith<DistortionUniforms>& program = extensions->effects().modelDistortion;
    EffectPrograms::use(*device, program);
    GpuProgram::setUniform(program.locations().strength, strength);
    drawNodeTriangles(model, node);
    device->popState();
}

void setLitModelState(const Texture2D* texture)
{
    setLitModelState(texture, ModelPaint{});
}

void setLitModelState(const Texture2D* texture, const ModelPaint& paint)
{
    Graphics* device = graphics();
    if (!device)
        return;
    RenderState& state = device->state();
    state.program = BuiltinProgram::LitModel;
    state.customProgram = nullptr;
    state.perVertexColor = false;
    state.color = paint.tint;
    state.textures[0] = texture;
    state.textures[1] = paint.mask;
    // Without a mask unit 1 samples white, which would paint everything.
    const Color4 none{0, 0, 0, 0};
    state.paint[0] = paint.mask ? paint.colors[0] : none;
    state.paint[1] = paint.mask ? paint.colors[1] : none;
}

namespace {
void drawLitNode(const Model& model, std::size_t index, const Mat4& world, const ModelPaint* paint, bool unbind = true)
{
    Graphics* device = graphics();
    const Model::Node* node = model.node(index);
    if (!device || !node || node->isHelper())
        return;
    setLitModelState(model.nodeTexture(*node), paint ? *paint : ModelPaint{});
    device->setWorldMatrix(matrixProduct(world, node->matrix));
    drawNodeTriangles(model, static_cast<int>(index), unbind);
}

void clearPaint(Graphics& device)
{
    device.state().paint[0] = device.state().paint[1] = Color4{0, 0, 0, 0};
    device.state().textures[1] = nullptr;
}
}  // namespace

void drawModel(const Model& model, const Mat4& world, const ModelPaint* paint)
{
    ModelDrawOptions options;
    options.paint = paint;
    drawModel(model, world, options);
}

void drawModel(const Model& model, const Mat4& world, const ModelDrawOptions& options)
{
    Graphics* device = graphics();
    if (!device)
        return;
    const Mat4 saved = device->worldMatrix();
    const Mat4 turned = options.turnedNode >= 0 ? matrixProduct(world, options.turn) : world;
    for (std::size_t i = 0; i < model.nodeCount(); ++i) {
        const int index = static_cast<int>(i);
        if (std::find(options.skippedNodes.begin(), options.skippedNodes.end(), index) != options.skippedNodes.end())
            continue;
        drawLitNode(model, i, index == options.turnedNode ? turned : world, options.paint, false);
    }
    device->bindBuffer(BufferTarget::Array, 0);
    device->bindBuffer(BufferTarget::ElementArray, 0);
    device->setWorldMatrix(saved);
    clearPaint(*device);
}

void drawModelPart(const Model& model, int node, const Mat4& world, const ModelPaint* paint)
{
    Graphics* device = graphics();
    if (!device || node < 0)
        return;
    const Mat4 saved = device->worldMatrix();
    drawLitNode(model, static_cast<std::size_t>(node), world, paint);
    device->setWorldMatrix(saved);
    clearPaint(*device);
}
