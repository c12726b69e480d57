#pragma once
#include "platform/Math.h"
#include "render/2d/CSprite.h"

#include <string>
#include <string_view>

class CFont;

// The fonts the HUD texts use, by number (0 the HUD font, 2 the big one).
// Tests install their own; null restores the game's fonts.
using HudFontSource = CFont* (*)(int id);
void setHudFontSource(HudFontSource source);
CFont* hudFont(int id);

// One transient HUD text: an event line, a notice, a tutorial line or a
// warning. It shows its own text, or a string-table text by number.
struct HudMessage {
    static constexpr float kSecondsPerCharacter = 0.08f;
    static constexpr float kSecondsPerLine = 3.0f;
    static constexpr float kPopInSeconds = 0.1f;

    std::u16string text;        // the own text (wrapped), empty when shown by id
    int stringId = 0;           // string-table number, 0 when the entry has its own text (a wrapped warning keeps it)
    float timeLeft = 0.0f;
    float duration = 0.0f;      // 0: never expires by time
    int width = 0, height = 0;  // pixels of the text (and icon)
    bool popIn = false;         // the panel grows in over its first 0.1 s
    bool shown = false;         // the first update has played the message sound
    int icon = 0;               // 0 none, else 1 + a frame of the notice icons (set 19)
    int font = 0;
    int lineCount = 1;
    Color4 color;

    // The text in `font`, wrapped to `wrapWidth` (-1: one line, as given);
    // 0.08 s a character, five times that in Chinese, Japanese and Korean.
    void initFromText(int font, std::u16string_view text, float wrapWidth, bool silent);
    // String `id` in font 2; 3 s a wrapped line (1.6 times that at sprite
    // scale 4), at least 28 UI pixels high.
    void initFromId(int id, float wrapWidth, bool silent);
    void setIcon(int icon);
    // A one-line own text wider than `room` pixels is cut to end in an
    // ellipsis within it.
    void fitWidth(float room);
    bool expired() const { return timeLeft <= 0.0f && duration > 0.0f; }
    bool empty() const { return text.empty() && stringId == 0; }
    // The touch (x, y) lies on the panel of the entry drawn centred on (cx, cy).
    bool hitTest(float cx, float cy, float x, float y) const;

    // Alignment 5 (centred) draws the notice panel, time bar and icon first.
    void draw(float x, float y, int alignment) const;
    // Centred, the panel and text at `opacity` (0..1), no pop-in.
    void drawFaded(float x, float y, float opacity) const;
    // What draw writes: the own text when there is one, else the string by number.
    std::u16string_view shownText() const;

private:
    void measure();
    void drawPanel(float x, float y, float s, Color4 panelColor) const;
    // The full-size panel of the entry drawn centred at (x, y).
    CSprite::Rect plateRect(float x, float y) const;
};
