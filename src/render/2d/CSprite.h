#pragma once
#include "platform/Math.h"
#include "render/Texture2D.h"
#include "render/2d/SpriteSheet.h"
#include "render/2d/Transform2D.h"
#include "render/internal/SpriteQuads.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>


// A sprite set: one .bspr sheet and its texture. Every draw goes into the 2-D
// sprite batch with the set's color, scale and transform. Frame, module and
// part numbers often come from data or settings, so every draw and query
// checks them: an unknown number draws nothing and measures 0 x 0 (the part
// queries answer -1, their "none").
class CSprite {
public:
    // Flags of drawFrame and drawModule.
    static constexpr int kMirror = SpriteSheet::kFlipX;   // mirror left-right about the origin
    static constexpr int kFlipVertical = SpriteSheet::kFlipY;
    // drawBarBetween draws frame kBarFrameBase + style: three parts, left cap,
    // stretched middle, right cap.
    static constexpr int kBarFrameBase = 290;

    struct Rect {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    };

    CSprite() = default;
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // Loads "<path>" (a .bspr) and its texture. The base scale becomes the
    // sheet's scale times `scale`. False, and the sprite stays empty, when the
    // sheet or its texture cannot be read.
    [[nodiscard]] bool load(std::string_view path, float scale);
    // Loads only `frames` of the sheet, on a texture of their own (see
    // SpriteCutOut.h): other frames draw nothing. False, and the sprite stays
    // empty, when the sheet, its picture or a frame cannot be had.
    [[nodiscard]] bool loadCutOut(std::string_view path, float scale, std::span<const int> frames);
    // Takes a sheet already read, without a texture (tools and tests draw with
    // a null texture).
    void loadSheet(SpriteSheet sheet, float scale);
    // Empties the sprite and drops its texture reference.
    void free();
    bool isLoaded() const { return m_loaded; }
    // Lets the loaded texture go but keeps the frames, so layout and sizes stay
    // right; the next draw loads the texture again. For sheets a stretch of the
    // game seldom or never draws. No effect on a swapped-in texture.
    void releaseTexture();
    // Loads a released texture again now rather than at the next draw; false
    // when it cannot be loaded (nothing is drawn then).
    bool restoreTexture() const;
    // False while a loaded sheet's texture is released.
    bool textureResident() const { return !m_textureReleased; }

    const SpriteSheet& sheet() const { return m_sheet; }
    int frameCount() const { return static_cast<int>(m_sheet.frames.size()); }
    int moduleCount() const { return static_cast<int>(m_sheet.modules.size()); }

    // Tint, straight alpha; white draws the art as it is.
    void setColorBytes(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) { m_color = {r, g, b, a}; }
    void setColor(Color4 color) { m_color = color; }
    Color4 color() const { return m_color; }
    // Per-axis factors on top of the base scale, 1.0 normally; callers that
    // change them restore 1.0.
    void setScale(float x, float y)
    {
        m_scaleX = x;
        m_scaleY = y;
    }
    float scaleX() const { return m_scaleX; }
    float scaleY() const { return m_scaleY; }
    float baseScale() const { return m_baseScale; }
    // Applied to everything drawn after positions, rotation and scale (the
    // comic slides' zoom and pan).
    Transform2D& transform() { return m_transform; }
    const Transform2D& transform() const { return m_transform; }

    const Texture2D* texture() const { return m_texture; }
    // Swaps the texture in (the plane photo); the sprite does not own it.
    void setTexture(Texture2D* texture);

    // The frame's parts in sheet order, its origin at (x, y), rotated about
    // the origin by `rotation` radians (clockwise on screen).
    void drawFrame(int frame, float x, float y, float rotation = 0.0f, int flags = 0) const;
    // One module with its top-left at (x, y), rotated about its centre.
    void drawModule(int module, float x, float y, int flags = 0, float rotation = 0.0f) const;
    // One module centred on (x, y), rotated about that point.
    void drawModuleAt(int module, float x, float y, float rotation = 0.0f, int flags = 0) const;
    // One module stretched over the rectangle between two corner points.
    void drawModuleStretched(int module, float x0, float y0, float x1, float y1) const;
    // A box over (x, y, w, h) from the frame's nine parts (top-left, top,
    // top-right, left, centre, right, bottom-left, bottom, bottom-right):
    // corners keep their scaled size (shrunk when the box is smaller than two
    // corners), edges and centre stretch. A frame without nine parts is
    // stretched whole over the box.
    void drawNinePatch(int frame, float x, float y, float w, float h) const;
    // Frame kBarFrameBase + style laid along the line from (x0, y0) to (x1, y1),
    // centred across it.
    void drawBarBetween(float x0, float y0, float x1, float y1, int style) const;

    // Scaled width and height of the frame's bounding box, rounded; also kept
    // as lastFrameWidth/Height. 0 x 0 for an unknown or empty frame.
    void frameBounds(int frame, int& width, int& height);
    int lastFrameWidth() const { return m_lastFrameWidth; }
    int lastFrameHeight() const { return m_lastFrameHeight; }
    // The frame's bounding box when drawn at (x, y), under the transform.
    Rect frameBoundsAt(int frame, float x, float y) const;
    // The frame's bounding box relative to its origin, scaled.
    Rect frameRect(int frame) const;
    // Scaled size of a module; 0 for an unknown module.
    float moduleWidth(int module) const;
    float moduleHeight(int module) const;
    // Scaled size of the module of the frame's part `part`; 0 when unknown.
    float framePartWidth(int frame, int part) const;
    float framePartHeight(int frame, int part) const;

private:
    // A sheet read, with its texture and what its texels let a draw skip.
    void take(SpriteSheet sheet, float scale, TextureRef texture, std::vector<ModuleArt> art);
    const SpriteSheet::Frame* frameAt(int frame) const;
    const SpriteSheet::Module* moduleAt(int module) const;
    float sx() const { return m_baseScale * m_scaleX; }
    float sy() const { return m_baseScale * m_scaleY; }
    void drawParts(const SpriteSheet::Frame& frame, const Transform2D& place, int flags) const;
    // Draws the module into the local rectangle (x0, y0)-(x1, y1) under `place`.
    void emitModule(const SpriteSheet::Module& module, int flip, const Transform2D& place, float x0, float y0,
                    float x1, float y1) const;

    SpriteSheet m_sheet;
    bool m_loaded = false;
    Color4 m_color;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    float m_baseScale = 1.0f;
    Transform2D m_transform;
    // Drawing loads a released texture again, so these change under const draws.
    mutable Texture2D* m_texture = nullptr;   // the loaded texture or one swapped in
    mutable TextureRef m_loadedTexture;
    mutable bool m_textureReleased = false;
    mutable bool m_restoreFailed = false;
    std::string m_path;   // the .bspr it was loaded from; its texture comes again from there
    // Per module, what its texels let a draw skip (see moduleArt); empty
    // when the texels are unknown, and then modules draw whole and blended.
    std::vector<ModuleArt> m_art;
    int m_lastFrameWidth = 0, m_lastFrameHeight = 0;
};
