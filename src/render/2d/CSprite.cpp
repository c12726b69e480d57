#include "render/2d/CSprite.h"

#include "platform/File.h"
#include "platform/Log.h"
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteCutOut.h"
#include "render/assets/TextureCache.h"
#include "render/assets/ImageLoaders.h"
#include "render/internal/SheetTexture.h"
#include "render/internal/SpriteQuads.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace {

// The texture's texels are read once more here: the cache keeps only the GL copy.
std::vector<ModuleArt> artOf(std::string_view sheetPath, const SpriteSheet& sheet)
{
    const std::string name = sheetTextureName(sheetPath, sheet);
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0)
        return {};
    const std::unique_ptr<File> file = openFile(name);
    TextureImage image;
    if (!file || !decodePng(*file, image) || image.width != sheet.texWidth || image.height != sheet.texHeight)
        return {};
    return moduleArt(sheet, image);
}

}  // namespace

bool CSprite::load(std::string_view path, float scale)
{
    free();
    SpriteSheet sheet;
    if (!readSheetFile(path, sheet))
        return false;
    TextureRef texture = acquireSheetTexture(path, sheet);
    if (!texture)
        return false;
    std::vector<ModuleArt> art = artOf(path, sheet);
    take(std::move(sheet), scale, std::move(texture), std::move(art));
    m_path = path;
    return true;
}

bool CSprite::loadCutOut(std::string_view path, float scale, std::span<const int> frames)
{
    free();
    SpriteSheet sheet;
    if (!readSheetFile(path, sheet))
        return false;
    const std::string name = sheetTextureName(path, sheet);
    const std::unique_ptr<File> file = openFile(name);
    // Only the rows the frames lie on are decoded: a large sheet never
    // stands whole in memory for a few of its pictures.
    SpriteSheet band;
    int firstRow = 0;
    TextureImage image;
    SpriteSheet cutSheet;
    TextureImage cutImage;
    if (!file || !cutOutBand(sheet, frames, band, firstRow) ||
        !decodePngRows(*file, firstRow, band.texHeight, image) || !cutOutFrames(band, image, frames, cutSheet, cutImage)) {
        logWarning("render", "no frames cut out of \"%s\"", name.c_str());
        return false;
    }
    // Named after the frames kept: two sprites cut alike share the texture.
    std::string cutName = name;
    for (int frame : frames)
        cutName += "#" + std::to_string(frame);
    TextureRef texture = adoptTexture(cutName, cutImage, kClampSampler);
    if (!texture)
        return false;
    take(std::move(cutSheet), scale, std::move(texture), moduleArt(band, image));
    return true;
}

void CSprite::take(SpriteSheet sheet, float scale, TextureRef texture, std::vector<ModuleArt> art)
{
    loadSheet(std::move(sheet), scale);
    m_texture = texture.get();
    m_loadedTexture = std::move(texture);
    m_art = std::move(art);
}

void CSprite::releaseTexture()
{
    if (!m_loaded || !m_loadedTexture || m_path.empty())
        return;
    m_loadedTexture.reset();
    m_texture = nullptr;
    m_textureReleased = true;
    m_restoreFailed = false;
}

bool CSprite::restoreTexture() const
{
    if (!m_textureReleased)
        return true;
    // Tried once: a texture that fails now would fail every frame.
    if (m_restoreFailed)
        return false;
    TextureRef texture = acquireSheetTexture(m_path, m_sheet);
    if (!texture) {
        m_restoreFailed = true;
        return false;
    }
    m_textureReleased = false;
    logInfo("render", "\"%s\": texture back for a draw", m_path.c_str());
    m_texture = texture.get();
    m_loadedTexture = std::move(texture);
    return true;
}

void CSprite::loadSheet(SpriteSheet sheet, float scale)
{
    free();
    m_sheet = std::move(sheet);
    m_baseScale = m_sheet.sheetScale * scale;
    m_loaded = true;
}

void CSprite::free()
{
    m_loadedTexture = TextureRef{};
    m_texture = nullptr;
    m_textureReleased = m_restoreFailed = false;
    m_path.clear();
    m_art.clear();
    m_sheet = SpriteSheet{};
    m_loaded = false;
    m_lastFrameWidth = m_lastFrameHeight = 0;
}

void CSprite::setTexture(Texture2D* texture)
{
    m_loadedTexture = TextureRef{};
    m_textureReleased = m_restoreFailed = false;
    m_texture = texture;
    m_art.clear();   // the boxes were the old texture's
}

const SpriteSheet::Frame* CSprite::frameAt(int frame) const
{
    if (frame < 0 || frame >= static_cast<int>(m_sheet.frames.size()))
        return nullptr;
    return &m_sheet.frames[static_cast<std::size_t>(frame)];
}

const SpriteSheet::Module* CSprite::moduleAt(int module) const
{
    if (module < 0 || module >= static_cast<int>(m_sheet.modules.size()))
        return nullptr;
    return &m_sheet.modules[static_cast<std::size_t>(module)];
}

void CSprite::emitModule(const SpriteSheet::Module& module, int flip, const Transform2D& place, float x0, float y0,
                         float x1, float y1) const
{
    if (module.w == 0 || module.h == 0 || m_color.a == 0)
        return;
    if (m_textureReleased && !restoreTexture())
        return;
    const auto index = static_cast<std::size_t>(&module - m_sheet.modules.data());
    if (index >= m_art.size()) {
        emitQuad(spriteBatch(), place, x0, y0, x1, y1, moduleUv(m_sheet, module, flip), premultiplied(m_color),
                 m_texture);
        return;
    }
    // A tint with any transparency lets the background through.
    const bool opaque = m_art[index].opaque && m_color.a == 255;
    const SpriteSheet::Module& kept = m_art[index].kept;
    if (kept.w == module.w && kept.h == module.h) {
        emitQuad(spriteBatch(), place, x0, y0, x1, y1, moduleUv(m_sheet, module, flip), premultiplied(m_color),
                 m_texture, opaque);
        return;
    }
    if (kept.w == 0 || kept.h == 0)
        return;
    // The quad shrinks by the same shares as the module, so every pixel left
    // keeps its texture point; a flipped side shows the module's far edge.
    float a = static_cast<float>(kept.x) / module.w, b = static_cast<float>(kept.x + kept.w) / module.w;
    float c = static_cast<float>(kept.y) / module.h, d = static_cast<float>(kept.y + kept.h) / module.h;
    if (flip & SpriteSheet::kFlipX)
        a = 1.0f - std::exchange(b, 1.0f - a);
    if (flip & SpriteSheet::kFlipY)
        c = 1.0f - std::exchange(d, 1.0f - c);
    const SpriteSheet::Module part{static_cast<std::uint16_t>(module.x + kept.x),
                                   static_cast<std::uint16_t>(module.y + kept.y), kept.w, kept.h};
    emitQuad(spriteBatch(), place, x0 + (x1 - x0) * a, y0 + (y1 - y0) * c, x0 + (x1 - x0) * b, y0 + (y1 - y0) * d,
             moduleUv(m_sheet, part, flip), premultiplied(m_color), m_texture, opaque);
}

void CSprite::drawFrame(int frame, float x, float y, float rotation, int flags) const
{
    const SpriteSheet::Frame* f = frameAt(frame);
    if (!f)
        return;
    Transform2D place = m_transform * Transform2D::translation(x, y);
    if (rotation != 0.0f)
        place = place * Transform2D::rotation(rotation);
    drawParts(*f, place, flags);
}

void CSprite::drawParts(const SpriteSheet::Frame& frame, const Transform2D& place, int flags) const
{
    for (int i = 0; i < frame.partCount; ++i) {
        const SpriteSheet::Part& part = m_sheet.parts[frame.firstPart + i];
        const SpriteSheet::Module& module = m_sheet.modules[part.module];
        float px = part.x, py = part.y, partRotation = part.rotation;
        int flip = part.flip;
        if (flags & kMirror) {
            px = -(px + module.w);
            flip ^= SpriteSheet::kFlipX;
            partRotation = -partRotation;
        }
        if (flags & kFlipVertical) {
            py = -(py + module.h);
            flip ^= SpriteSheet::kFlipY;
            partRotation = -partRotation;
        }
        const float x0 = px * sx(), y0 = py * sy(), x1 = (px + module.w) * sx(), y1 = (py + module.h) * sy();
        if (partRotation != 0.0f)
            emitModule(module, flip, place * Transform2D::rotationAbout(partRotation, (x0 + x1) / 2, (y0 + y1) / 2),
                       x0, y0, x1, y1);
        else
            emitModule(module, flip, place, x0, y0, x1, y1);
    }
}

void CSprite::drawModule(int module, float x, float y, int flags, float rotation) const
{
    const SpriteSheet::Module* m = moduleAt(module);
    if (!m)
        return;
    const float w = m->w * sx(), h = m->h * sy();
    Transform2D place = m_transform;
    if (rotation != 0.0f)
        place = place * Transform2D::rotationAbout(rotation, x + w / 2, y + h / 2);
    emitModule(*m, flags, place, x, y, x + w, y + h);
}

void CSprite::drawModuleAt(int module, float x, float y, float rotation, int flags) const
{
    const SpriteSheet::Module* m = moduleAt(module);
    if (!m)
        return;
    const float w = m->w * sx(), h = m->h * sy();
    Transform2D place = m_transform * Transform2D::translation(x, y);
    if (rotation != 0.0f)
        place = place * Transform2D::rotation(rotation);
    emitModule(*m, flags, place, -w / 2, -h / 2, w / 2, h / 2);
}

void CSprite::drawModuleStretched(int module, float x0, float y0, float x1, float y1) const
{
    if (const SpriteSheet::Module* m = moduleAt(module))
        emitModule(*m, 0, m_transform, x0, y0, x1, y1);
}

void CSprite::drawNinePatch(int frame, float x, float y, float w, float h) const
{
    const SpriteSheet::Frame* f = frameAt(frame);
    if (!f || !(w > 0.0f) || !(h > 0.0f))
        return;
    if (f->partCount != 9) {
        // A single picture used as a box: stretch the whole frame over it.
        const Rect r = frameRect(frame);
        if (r.w > 0.0f && r.h > 0.0f)
            drawParts(*f, m_transform * Transform2D::translation(x, y) * Transform2D::scaling(w / r.w, h / r.h) *
                              Transform2D::translation(-r.x, -r.y), 0);
        return;
    }
    const SpriteSheet::Part* parts = &m_sheet.parts[f->firstPart];
    const auto moduleOf = [&](int i) -> const SpriteSheet::Module& { return m_sheet.modules[parts[i].module]; };
    float left = moduleOf(0).w * sx(), right = moduleOf(2).w * sx();
    float top = moduleOf(0).h * sy(), bottom = moduleOf(6).h * sy();
    if (left + right > w) {
        const float shrink = w / (left + right);
        left *= shrink;
        right *= shrink;
    }
    if (top + bottom > h) {
        const float shrink = h / (top + bottom);
        top *= shrink;
        bottom *= shrink;
    }
    const float xs[4] = {x, x + left, x + w - right, x + w};
    const float ys[4] = {y, y + top, y + h - bottom, y + h};
    for (int i = 0; i < 9; ++i) {
        const int column = i % 3, row = i / 3;
        emitModule(moduleOf(i), parts[i].flip, m_transform, xs[column], ys[row], xs[column + 1], ys[row + 1]);
    }
}

void CSprite::drawBarBetween(float x0, float y0, float x1, float y1, int style) const
{
    if (style < 0)
        return;
    const SpriteSheet::Frame* f = frameAt(kBarFrameBase + style);
    const float length = std::hypot(x1 - x0, y1 - y0);
    if (!f || f->partCount != 3 || !(length > 0.0f))
        return;
    const SpriteSheet::Part* parts = &m_sheet.parts[f->firstPart];
    const auto moduleOf = [&](int i) -> const SpriteSheet::Module& { return m_sheet.modules[parts[i].module]; };
    float left = moduleOf(0).w * sx(), right = moduleOf(2).w * sx();
    if (left + right > length) {
        const float shrink = length / (left + right);
        left *= shrink;
        right *= shrink;
    }
    const Transform2D place =
        m_transform * Transform2D::translation(x0, y0) * Transform2D::rotation(std::atan2(y1 - y0, x1 - x0));
    const float xs[4] = {0.0f, left, length - right, length};
    for (int i = 0; i < 3; ++i) {
        const float half = moduleOf(i).h * sy() / 2;
        emitModule(moduleOf(i), parts[i].flip, place, xs[i], -half, xs[i + 1], half);
    }
}

CSprite::Rect CSprite::frameRect(int frame) const
{
    const SpriteSheet::Frame* f = frameAt(frame);
    if (!f || f->partCount == 0)
        return {};
    float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
    bool first = true;
    for (int i = 0; i < f->partCount; ++i) {
        const SpriteSheet::Part& part = m_sheet.parts[f->firstPart + i];
        const SpriteSheet::Module& module = m_sheet.modules[part.module];
        const float x0 = part.x * sx(), y0 = part.y * sy();
        const float x1 = (part.x + module.w) * sx(), y1 = (part.y + module.h) * sy();
        const Transform2D turn = Transform2D::rotationAbout(part.rotation, (x0 + x1) / 2, (y0 + y1) / 2);
        const float cx[4] = {x0, x1, x0, x1}, cy[4] = {y0, y0, y1, y1};
        for (int c = 0; c < 4; ++c) {
            const float px = turn.applyX(cx[c], cy[c]), py = turn.applyY(cx[c], cy[c]);
            minX = first ? px : std::min(minX, px);
            minY = first ? py : std::min(minY, py);
            maxX = first ? px : std::max(maxX, px);
            maxY = first ? py : std::max(maxY, py);
            first = false;
        }
    }
    return Rect{minX, minY, maxX - minX, maxY - minY};
}

void CSprite::frameBounds(int frame, int& width, int& height)
{
    const Rect r = frameRect(frame);
    m_lastFrameWidth = width = static_cast<int>(std::lround(r.w));
    m_lastFrameHeight = height = static_cast<int>(std::lround(r.h));
}

CSprite::Rect CSprite::frameBoundsAt(int frame, float x, float y) const
{
    const SpriteSheet::Frame* f = frameAt(frame);
    if (!f || f->partCount == 0)
        return {};
    const Rect r = frameRect(frame);
    const float cx[4] = {x + r.x, x + r.x + r.w, x + r.x, x + r.x + r.w};
    const float cy[4] = {y + r.y, y + r.y, y + r.y + r.h, y + r.y + r.h};
    float minX = m_transform.applyX(cx[0], cy[0]), maxX = minX;
    float minY = m_transform.applyY(cx[0], cy[0]), maxY = minY;
    for (int c = 1; c < 4; ++c) {
        const float px = m_transform.applyX(cx[c], cy[c]), py = m_transform.applyY(cx[c], cy[c]);
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    return Rect{minX, minY, maxX - minX, maxY - minY};
}

float CSprite::moduleWidth(int module) const
{
    const SpriteSheet::Module* m = moduleAt(module);
    return m ? m->w * sx() : 0.0f;
}

float CSprite::moduleHeight(int module) const
{
    const SpriteSheet::Module* m = moduleAt(module);
    return m ? m->h * sy() : 0.0f;
}

float CSprite::framePartWidth(int frame, int part) const
{
    const SpriteSheet::Frame* f = frameAt(frame);
    if (!f || part < 0 || part >= f->partCount)
        return 0.0f;
    return moduleWidth(m_sheet.parts[f->firstPart + part].module);
}

float CSprite::framePartHeight(int frame, int part) const
{
    const SpriteSheet::Frame* f = frameAt(frame);
    if (!f || part < 0 || part >= f->partCount)
        return 0.0f;
    return moduleHeight(m_sheet.parts[f->firstPart + part].module);
}
