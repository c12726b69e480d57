// Step 530: the effect textures and the muzzle-flash model, painted from the
// list in assets/fx/effect_art.txt (file, size, kind, shape, seed). Every
// shape is a soft field of floats: no hard edge, alpha falling smoothly to
// zero before the border, luminance stored premultiplied by alpha.
#include "DataTool.h"
#include "GlmBuilder.h"
#include "SheetImage.h"
#include "TextSource.h"
#include "WorldNoise.h"
#include "WorldTextures.h"

#include "render/assets/GlmFormat.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {
struct Texel {
    float lum = 1.0f, alpha = 0.0f;
};
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

float smooth01(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}
// Radius from the centre of a unit square, 1 at the middle of an edge.
float radius(float u, float v) { return std::hypot(u * 2.0f - 1.0f, v * 2.0f - 1.0f); }
// Fades to exactly zero at radius 1 without a visible rim.
float edgeFade(float r) { return 1.0f - smooth01(0.75f, 1.0f, r); }

// Luminance-alpha painters over (u, v) in 0..1.
Texel paintLa(const std::string& shape, const WorldNoise& n, float u, float v)
{
    const float r = radius(u, v), fade = edgeFade(r);
    if (shape == "glow")
        return {1.0f, std::exp(-r * r * 5.0f) * fade};
    if (shape == "starglow") {
        const float x = std::fabs(u * 2 - 1), y = std::fabs(v * 2 - 1);
        const float star = (std::exp(-x * 18.0f) * std::exp(-y * y * 3.0f) + std::exp(-y * 18.0f) * std::exp(-x * x * 3.0f)) * 0.5f;
        return {1.0f, std::min(1.0f, std::exp(-r * r * 30.0f) + std::exp(-r * r * 5.0f) * 0.45f + star) * fade};
    }
    if (shape == "flare") {
        const float core = std::exp(-r * r * 45.0f), halo = std::exp(-r * r * 7.0f) * 0.55f;
        return {1.0f, std::min(1.0f, core + halo) * fade};
    }
    if (shape == "ring") {
        const float ring = std::exp(-(r - 0.72f) * (r - 0.72f) * 180.0f);
        return {1.0f, (ring * 0.8f + std::exp(-r * r * 3.0f) * 0.12f) * fade};
    }
    if (shape == "disc")
        return {1.0f, (1.0f - smooth01(0.55f, 0.9f, r)) * (0.35f + 0.25f * smooth01(0.2f, 0.7f, r)) * fade};
    if (shape == "sun") {
        const float a = std::atan2(v * 2 - 1, u * 2 - 1);
        const float rays = 0.5f + 0.5f * std::cos(a * 12.0f) * (0.6f + 0.4f * n.value(a * 3.0f + 10.0f, 1.0f, 0));
        return {1.0f, std::min(1.0f, (1.0f - smooth01(0.12f, 0.22f, r)) + std::exp(-r * 4.0f) * (0.35f + 0.25f * rays)) * fade};
    }
    if (shape == "puff") {
        const float body = std::pow(std::max(0.0f, 1.0f - r * r), 1.5f);
        const float cloud = n.fractal(u * 5.0f, v * 5.0f, 4);
        // Lit from above: the top of the puff is lighter.
        return {0.7f + 0.3f * (1.0f - v) * (0.6f + 0.4f * cloud), body * (0.45f + 0.55f * cloud) * fade};
    }
    if (shape == "ribbon" || shape == "contrail") {
        // Tiles along u (the length); a soft profile across v.
        const int period = shape == "ribbon" ? 4 : 32;
        const float profile = std::pow(std::sin(kPi * v), shape == "ribbon" ? 2.0f : 1.5f);
        const float cloud = n.fractal(u * period, v * 3.0f, 4, period);
        return {0.85f + 0.15f * cloud, profile * (0.35f + 0.65f * cloud)};
    }
    if (shape == "flame" || shape == "core") {
        // Streaks along u that tile both ways: the mesh scrolls u.
        const float streak = n.fractal(u * 4.0f, v * 12.0f, 3, 4);
        const float base = shape == "core" ? 0.75f : 0.5f;
        return {1.0f, std::clamp(base + (1.0f - base) * streak, 0.0f, 1.0f)};
    }
    if (shape == "shock") {
        const float along = std::pow(std::sin(kPi * u), 1.5f);
        const float ripple = n.fractal(u * 3.0f, v * 8.0f, 3, 8);
        return {1.0f, along * (0.45f + 0.55f * ripple)};
    }
    if (shape == "vapour") {
        const float wisps = n.fractal(u * 4.0f, v * 16.0f, 4, 4);
        return {1.0f, std::clamp(wisps * 1.4f - 0.2f, 0.0f, 1.0f) * std::sin(kPi * v)};
    }
    return {};
}

// Straight-colour painters for the pictures.
Rgba paintRgba(const std::string& shape, const WorldNoise& n, float u, float v)
{
    const float r = radius(u, v), fade = edgeFade(r);
    if (shape == "muzzle") {
        const float a = std::atan2(v * 2 - 1, u * 2 - 1);
        const float petals = 0.55f + 0.45f * std::cos(a * 5.0f);
        const float body = std::exp(-r * r / (0.08f + 0.25f * petals)) * fade;
        return {1.0f, 0.75f + 0.25f * std::exp(-r * 6.0f), 0.35f + 0.6f * std::exp(-r * 9.0f), body};
    }
    if (shape == "holes" || shape == "dust") {
        const int cells = shape == "holes" ? 4 : 2;
        const float cu = std::fmod(u * cells, 1.0f) * (cells == 4 ? 1.0f : 1.0f);
        const float cr = radius(cu, v), cell = std::floor(u * cells);
        if (shape == "holes") {
            const float a = std::atan2(v * 2 - 1, cu * 2 - 1);
            // A clean hole, a crazed ring round it, and cracks running out
            // into the glass, white where they catch the light: each variant
            // has its own star.
            const float star = std::fabs(std::cos(a * (3.0f + cell) + cell)) * (0.8f + 0.2f * std::cos(a * 7.0f + cell));
            const float cracks = std::pow(star, 14.0f) * (1.0f - smooth01(0.15f, 0.95f, cr));
            const float hole = 1.0f - smooth01(0.06f, 0.12f, cr);
            const float ring = std::exp(-std::pow((cr - 0.17f) / 0.07f, 2.0f)) * 0.7f;
            const float alpha = std::max({hole, cracks * 0.9f, ring}) * edgeFade(cr);
            const float g = hole > 0.5f ? 0.05f : 0.93f;
            return {g, g, g, alpha};
        }
        const float cloud = n.fractal(cu * 5.0f + cell * 7.0f, v * 5.0f, 4);
        return {0.55f, 0.45f, 0.35f, std::exp(-cr * cr * 3.0f) * (0.3f + 0.7f * cloud) * edgeFade(cr) * 0.8f};
    }
    if (shape == "shell") {
        const float x = std::fabs(u * 2 - 1);
        const float body = (1.0f - smooth01(0.55f, 0.8f, x)) * smooth01(0.02f, 0.12f, v) * (1.0f - smooth01(0.9f, 0.98f, v));
        const float shine = 0.75f + 0.25f * std::cos(x * 2.5f);
        return {0.85f * shine, 0.65f * shine, 0.25f * shine, body};
    }
    if (shape == "flakes" || shape == "drops" || shape == "dropnormal") {
        const float cu = std::fmod(u * 2.0f, 1.0f), cv = std::fmod(v * 2.0f, 1.0f);
        const float k = std::floor(u * 2.0f) + 2.0f * std::floor(v * 2.0f);
        if (shape == "flakes") {
            const float cr = radius(cu, cv), a = std::atan2(cv * 2 - 1, cu * 2 - 1);
            const float arms = std::pow(std::fabs(std::cos(a * 3.0f + k)), 8.0f) * (1.0f - smooth01(0.3f, 0.85f, cr));
            return {1.0f, 1.0f, 1.0f, std::max(std::exp(-cr * cr * 20.0f), arms * 0.7f) * edgeFade(cr)};
        }
        // A drop: a soft ellipse, taller than wide, rounder at the bottom.
        const float x = (cu * 2 - 1) / (0.45f + 0.05f * k), y = (cv * 2 - 1) / 0.8f;
        const float d = std::sqrt(x * x + y * y);
        const float body = 1.0f - smooth01(0.7f, 1.0f, d);
        if (shape == "drops")
            return {0.85f, 0.9f, 1.0f, body * (0.35f + 0.3f * (1.0f - cv))};
        const float nz = std::sqrt(std::max(0.0f, 1.0f - std::min(d, 1.0f) * std::min(d, 1.0f)));
        return {x * 0.5f * body + 0.5f, y * 0.5f * body + 0.5f, nz * 0.5f + 0.5f, body};
    }
    if (shape == "streak") {
        const float across = std::exp(-std::pow((v * 2 - 1) * 2.2f, 2.0f));
        return {1.0f, 1.0f, 1.0f, across * std::pow(std::sin(kPi * u), 0.8f)};
    }
    if (shape == "haze") {
        const float a = n.fractal(u * 4.0f, v * 4.0f, 3, 4), b = n.fractal(u * 4.0f + 17.0f, v * 4.0f + 5.0f, 3, 4);
        return {a, b, 0.5f, 1.0f};
    }
    return {};
}

bool writeLa(DataContext& c, const std::string& name, int w, int h, bool alphaOnly, const std::string& shape,
             const WorldNoise& noise)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(w * h * 2));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Texel t = paintLa(shape, noise, (x + 0.5f) / w, (y + 0.5f) / h);
            const float a = std::clamp(t.alpha, 0.0f, 1.0f);
            if (!alphaOnly)
                bytes.push_back(toByte(std::clamp(t.lum, 0.0f, 1.0f) * a));
            bytes.push_back(toByte(a));
        }
    return c.writeFile(name, bytes);
}

bool writePicture(DataContext& c, const std::string& name, int w, int h, const std::string& shape,
                  const WorldNoise& noise)
{
    if (name.ends_with(".pvr")) {
        TextureImage image;
        image.format = TextureFormat::Rgba8;
        image.width = w;
        image.height = h;
        image.levels.emplace_back();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba p = paintRgba(shape, noise, (x + 0.5f) / w, (y + 0.5f) / h);
                for (float ch : {p.r, p.g, p.b, p.a})
                    image.levels[0].push_back(toByte(ch));
            }
        return writeMippedPvr(c, name, std::move(image));
    }
    SheetImage image(w, h);
    if (!image.valid())
        return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba p = paintRgba(shape, noise, (x + 0.5f) / w, (y + 0.5f) / h);
            image.setPixel(x, y, toByte(p.r), toByte(p.g), toByte(p.b), toByte(p.a));
        }
    const std::vector<std::uint8_t> png = image.encodePng();
    return !png.empty() && c.writeFile(name, png);
}

// The muzzle flash: three flames of crossed quads along -z, each a little
// longer and wider than the last.
bool writeFlashModel(DataContext& c, const std::string& name)
{
    GlmBuilder b;
    const int tex = b.texture("gunfire.png");
    b.beginObject("gunfire");
    for (int k = 0; k < 3; ++k) {
        const float length = 1.2f + 0.4f * k, half = 0.35f + 0.08f * k;
        Mesh m;
        for (int plane = 0; plane < 2; ++plane) {
            const auto base = static_cast<std::uint16_t>(m.vertices.size());
            const float sx = plane == 0 ? half : 0.0f, sy = plane == 0 ? 0.0f : half;
            m.vertices.push_back(GlmVertex{-sx, -sy, 0.0f, 0, 0, 1, 0.0f, 0.5f});
            m.vertices.push_back(GlmVertex{sx, sy, 0.0f, 0, 0, 1, 1.0f, 0.5f});
            m.vertices.push_back(GlmVertex{-sx, -sy, -length, 0, 0, 1, 0.0f, 0.0f});
            m.vertices.push_back(GlmVertex{sx, sy, -length, 0, 0, 1, 1.0f, 0.0f});
            for (int i : {0, 1, 2, 1, 3, 2})
                m.indices.push_back(static_cast<std::uint16_t>(base + i));
        }
        b.addNode("flash" + std::to_string(k), m, tex, GlmNode::kHelper);
    }
    b.endObject();
    const std::string fault = checkGlm(b.file());
    if (!fault.empty()) {
        c.error(name + ": " + fault);
        return false;
    }
    return c.writeFile(name, writeGlm(b.file()));
}

bool buildEffectArt(DataContext& context)
{
    std::string text;
    const auto source = context.sourceDir() / "fx" / "effect_art.txt";
    if (!readSourceFile(source, text)) {
        context.error("cannot read " + source.string());
        return false;
    }
    std::istringstream lines(text);
    std::string line;
    bool ok = true;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string name, kind, shape;
        int w = 0, h = 0;
        std::uint32_t seed = 0;
        if (!(in >> name >> w >> h >> kind >> shape >> seed) || w < 0 || h < 0 || w > 1024 || h > 1024) {
            context.error(source.string() + ": bad line \"" + line + "\"");
            ok = false;
            continue;
        }
        const WorldNoise noise(seed);
        bool written = false;
        if (kind == "la" || kind == "alpha")
            written = writeLa(context, name, w, h, kind == "alpha", shape, noise);
        else if (kind == "png" || kind == "pvr")
            written = writePicture(context, name, w, h, shape, noise);
        else if (kind == "glm")
            written = writeFlashModel(context, name);
        if (!written) {
            context.error(name + ": cannot be made (kind \"" + kind + "\", shape \"" + shape + "\")");
            ok = false;
        }
    }
    return ok;
}
}  // namespace

SKYFRONT_DATA_STEP(530, "effect art", buildEffectArt);
