#include "ModelParts.h"

#include "DataTool.h"
#include "GlmBuilder.h"
#include "render/assets/PvrFormat.h"
#include "render/assets/TextureImage.h"

Vec2 cell(int i)
{
    return Vec2{(float((i % 4) * kCell) + kCell / 2.0f) / kPaletteSide,
                (float((i / 4) * kCell) + kCell / 2.0f) / kPaletteSide};
}

MeshUv color(int i)
{
    return swatchUv(cell(i));
}

std::vector<std::uint8_t> paletteTexture(const Rgb (&palette)[16])
{
    TextureImage image;
    image.format = TextureFormat::Rgba8;
    image.width = image.height = kPaletteSide;
    std::vector<std::uint8_t> texels;
    for (int y = 0; y < kPaletteSide; ++y)
        for (int x = 0; x < kPaletteSide; ++x) {
            const Rgb& c = palette[(y / kCell) * 4 + x / kCell];
            texels.insert(texels.end(), {c[0], c[1], c[2], 255});
        }
    image.levels.push_back(std::move(texels));
    if (!buildMipChain(image))
        return {};
    return encodePvr(image);
}

void addWing(Mesh& mesh, const Chord& root, const Chord& tip, Vec3 thick, const MeshUv& uv)
{
    constexpr float kRidge = 0.35f;
    constexpr float kEdge = 0.15f;             // edge thickness relative to the ridge
    const float fractions[3] = {0.0f, kRidge, 1.0f};
    for (int slab = 0; slab < 2; ++slab) {
        Vec3 corners[8];
        for (int i = 0; i < 8; ++i) {
            const Chord& c = (i & 1) ? tip : root;
            const float fraction = fractions[slab + ((i & 4) ? 1 : 0)];
            const float half = c.thickness * 0.5f * (fraction == kRidge ? 1.0f : kEdge) * ((i & 2) ? 1.0f : -1.0f);
            corners[i] = Vec3{c.leading.x + thick.x * half, c.leading.y + thick.y * half,
                              c.leading.z + c.length * fraction + thick.z * half};
        }
        addHexahedron(mesh, corners, uv);
    }
}

Mesh mirrored(const Mesh& half)
{
    Mesh both = half;
    addMirroredX(both, half);
    return both;
}

bool writeModelFile(DataContext& context, const std::string& path, const GlmBuilder& builder)
{
    if (const std::string fault = checkGlm(builder.file()); !fault.empty()) {
        context.error(path + ": " + fault);
        return false;
    }
    const GlmFile& file = builder.file();
    for (const GlmNode& node : file.nodes) {
        Mesh mesh;
        mesh.vertices.assign(file.vertices.begin() + node.vertexBase,
                             file.vertices.begin() + node.vertexBase + node.vertexCount);
        mesh.indices.assign(file.indices.begin() + node.firstIndex,
                            file.indices.begin() + node.firstIndex + node.indexCount);
        if (const int inverted = countInvertedTriangles(mesh); inverted > 0) {
            context.error(path + ": node \"" + node.name + "\" has " + std::to_string(inverted) +
                          " triangles wound inward");
            return false;
        }
    }
    return context.writeFile(path, writeGlm(file));
}
