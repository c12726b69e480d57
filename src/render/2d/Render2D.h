#pragma once
#include <cstdint>

// The 2-D pass: sprites, text and filled rectangles in screen pixels (origin
// top left, y down) over the current render target, through the sprite batch.

// Saves the 3-D matrices and render state, sets the 2-D projection over the
// current target, empties the sprite batch and makes the whole target the clip
// rectangle. Without a renderer the batch only collects and drops.
void begin2D();
// Draws what is pending and restores the matrices and state begin2D saved.
void end2D();
// Draws the pending quads under the current clip rectangle.
void flushSpriteBatch();

// The clip (scissor) stack of the sprite batch; see SpriteBatch.
void pushClipRect();
void setClipRect(float x, float y, float width, float height);
void popClipRect();
void resetClipRect();

// The crop stack of the sprite batch: what is drawn between a push and its pop
// is cut to the rectangle (and to the crops pushed before) without ending the
// batch; see SpriteBatch. The cheap way to show part of a sprite or of text.
void pushCropRect(float x, float y, float width, float height);
void popCropRect();

// An untextured rectangle (the batch's white texel), color with straight alpha.
void drawFilledRect(float x, float y, float width, float height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                    std::uint8_t a);

// The global color factor multiplied into every sprite and text (1.0 normal).
// Flushes first, so it applies from the next quad on.
void setGlobalColorFactor(float r, float g, float b, float a);
