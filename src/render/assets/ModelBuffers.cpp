#include "render/assets/ModelBuffers.h"
#include "platform/Log.h"

#include "render/BufferObject.h"
#include "render/RenderBuffer.h"
#include "render/Graphics.h"
#include "render/assets/Model.h"
#include "render/assets/ModelLevels.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/assets/TextureCache.h"
#include "render/internal/MatrixProduct.h"
#include "render/internal/RenderGlobals.h"

#include <algorithm>
#include <cmath>
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
    placeLevels(model);
    device->bindBuffer(BufferTarget::Array, 0);
    device->bindBuffer(BufferTarget::ElementArray, 0);
    const SamplerSettings settings = sampler ? *sampler : SamplerSettings{device->qualityFilter(), TextureWrap::Repeat};
    for (std::size_t t = 0; t < model.m_textureNames.size(); ++t)
        if (!model.m_textures[t]) {
            TextureLoadFlags flags;
            flags.dropLevels = sharedModelTextureDrop(model.m_textureNames[t], device->qualityTier());
            model.m_textures[t] = getTexture(model.m_textureNames[t], settings, flags);
        }
    model.m_uploaded = true;
    return true;
}

void ModelBuffers::placeLevels(Model& model)
{
    model.m_levels.assign(kModelLevelCount, Model::Level{});
    std::size_t kept = 0;
    MergedMesh mesh;
    for (int k = 0; k < kModelLevelCount; ++k) {
        const float cell = k == 0 ? 0.0f : model.m_radius / kLevelDivisions[k];
        if ((k > 0 && !(cell > 0.0f)) || !buildMergedMesh(model, cell, mesh) || mesh.indices.empty())
            return;
        // A level that hardly simplifies the one before is not worth its memory.
        if (k > 0 && mesh.triangleCount() * 10 > kept * 9)
            continue;
        Page* page = pageWithRoom(mesh.vertices.size(), mesh.indices.size());
        if (!page || !page->vertices.update(page->vertexUsed * sizeof(GlmVertex), mesh.vertices.data(),
                                            mesh.vertices.size() * sizeof(GlmVertex)) ||
            !page->indices.update(page->indexUsed * sizeof(std::uint16_t), mesh.indices.data(),
                                  mesh.indices.size() * sizeof(std::uint16_t)))
            return;
        Model::Level& level = model.m_levels[static_cast<std::size_t>(k)];
        level.bufferPage = static_cast<int>(std::find_if(pages().begin(), pages().end(),
                                                         [page](const auto& p) { return p.get() == page; }) -
                                            pages().begin());
        level.vertexBase = static_cast<std::uint32_t>(page->vertexUsed);
        level.firstIndex = static_cast<std::uint32_t>(page->indexUsed);
        level.nodeStart = mesh.nodeStart;
        level.triangles = mesh.triangleCount();
        page->vertexUsed += mesh.vertices.size();
        page->indexUsed += mesh.indices.size();
        kept = mesh.triangleCount();
    }
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
    // Hot air bends the light on both of its faces, and is never hidden by
    // itself.
    device->state().cull = CullMode::None;
    device->state().depthWrite = false;
    GpuProgramWith<DistortionUniforms>& program = extensions->effects().modelDistortion;
    EffectPrograms::use(*device, program);
    GpuProgram::setUniform(program.locations().strength, strength);
    if (drawNodeTriangles(model, node))
        noteDistortionDrawn();
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
    // Without a mask unit 1 samples white, which would paint everything.
    const Color4 none{0, 0, 0, 0};
    const bool painted = paint.mask && (paint.colors[0].a > 0 || paint.colors[1].a > 0);
    state.program = painted ? BuiltinProgram::LitModel : BuiltinProgram::UnpaintedModel;
    state.customProgram = nullptr;
    state.perVertexColor = false;
    state.color = paint.tint;
    state.textures[0] = texture;
    state.textures[1] = painted ? paint.mask : nullptr;
    state.paint[0] = painted ? paint.colors[0] : none;
    state.paint[1] = painted ? paint.colors[1] : none;
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

namespace {
// The model's radius in pixels of the current target, drawn with world;
// huge when the eye is inside it or the projection is not a perspective.
float projectedRadius(const Graphics& device, const Model& model, const Mat4& world)
{
    const Mat4& projection = device.projectionMatrix();
    if (projection.m[11] == 0.0f)
        return 1.0e9f;
    const float scale = std::sqrt(std::max({world.m[0] * world.m[0] + world.m[1] * world.m[1] + world.m[2] * world.m[2],
                                            world.m[4] * world.m[4] + world.m[5] * world.m[5] + world.m[6] * world.m[6],
                                            world.m[8] * world.m[8] + world.m[9] * world.m[9] + world.m[10] * world.m[10]}));
    const float radius = model.radius() * scale;
    const float depth = -mat4TransformPoint(device.viewMatrix(), {world.m[12], world.m[13], world.m[14]}).z;
    if (!(depth > radius))
        return 1.0e9f;
    const RenderBuffer* target = device.currentRenderTarget();
    const int height = target ? target->height() : device.screenHeight();
    return radius / depth * std::abs(projection.m[5]) * 0.5f * static_cast<float>(height);
}

const Model::Level* levelFor(const Graphics& device, const Model& model, const Mat4& world)
{
    const std::span<const Model::Level> levels = model.levels();
    if (levels.size() != kModelLevelCount || levels[0].bufferPage < 0 || !model.isUploaded())
        return nullptr;
    bool present[kModelLevelCount];
    for (int k = 0; k < kModelLevelCount; ++k)
        present[k] = levels[static_cast<std::size_t>(k)].bufferPage >= 0 &&
                     static_cast<std::size_t>(levels[static_cast<std::size_t>(k)].bufferPage) < pages().size();
    if (!present[0])
        return nullptr;
    return &levels[static_cast<std::size_t>(modelLevelFor(projectedRadius(device, model, world), present))];
}

// Indices [first, end) of the level, as one draw with one texture and matrix.
void drawLevelRange(Graphics& device, const Model::Level& level, std::uint32_t first, std::uint32_t end,
                    const Texture2D* texture, const ModelPaint& paint, const Mat4& world)
{
    setLitModelState(texture, paint);
    // Model meshes are closed and wound outward: the far side never shows.
    device.state().cull = CullMode::Back;
    device.setWorldMatrix(world);
    device.drawIndexedBuffer(PrimitiveType::Triangles, static_cast<int>(end - first),
                             std::size_t{level.firstIndex + first} * sizeof(std::uint16_t));
}

// Runs of neighbouring nodes with one texture draw together; the turned node
// draws on its own and skipped nodes break runs.
void drawLevel(Graphics& device, const Model& model, const Model::Level& level, const Mat4& world,
               const ModelDrawOptions& options)
{
    Page& page = *pages()[static_cast<std::size_t>(level.bufferPage)];
    page.vertices.bind();
    page.indices.bind();
    device.setBufferVertexLayout(VertexLayout::Model32, std::size_t{level.vertexBase} * sizeof(GlmVertex));
    const ModelPaint paint = options.paint ? *options.paint : ModelPaint{};
    const CullMode cull = device.state().cull;
    bool open = false;
    std::uint32_t first = 0, end = 0;
    const Texture2D* runTexture = nullptr;
    for (std::size_t i = 0; i < model.nodeCount(); ++i) {
        const std::uint32_t a = level.nodeStart[i], b = level.nodeStart[i + 1];
        if (a == b)
            continue;
        const int index = static_cast<int>(i);
        const bool skipped =
            std::find(options.skippedNodes.begin(), options.skippedNodes.end(), index) != options.skippedNodes.end();
        const bool turned = index == options.turnedNode;
        const Texture2D* texture = model.nodeTexture(*model.node(i));
        if (open && (skipped || turned || texture != runTexture)) {
            drawLevelRange(device, level, first, end, runTexture, paint, world);
            open = false;
        }
        if (skipped)
            continue;
        if (turned) {
            drawLevelRange(device, level, a, b, texture, paint, matrixProduct(world, options.turn));
            continue;
        }
        if (!open) {
            open = true;
            first = a;
            runTexture = texture;
        }
        end = b;
    }
    if (open)
        drawLevelRange(device, level, first, end, runTexture, paint, world);
    device.state().cull = cull;
}
}  // namespace

void drawModel(const Model& model, const Mat4& world, const ModelDrawOptions& options)
{
    Graphics* device = graphics();
    if (!device)
        return;
    const Mat4 saved = device->worldMatrix();
    if (const Model::Level* level = levelFor(*device, model, world);
        level && level->nodeStart.size() == model.nodeCount() + 1) {
        drawLevel(*device, model, *level, world, options);
        device->bindBuffer(BufferTarget::Array, 0);
        device->bindBuffer(BufferTarget::ElementArray, 0);
        device->setWorldMatrix(saved);
        clearPaint(*device);
        return;
    }
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
