#pragma once
#include "ui/MenuHooks.h"
#include "ui/MenuItem.h"

#include <string>
#include <string_view>

class CFont;
class CSprite;

// An on/off box with a label beside or below it. It toggles on touch down
// (and on activation, so keys and controllers work the same) and tells its
// owner, who reads `checked`; it tints itself when focused instead of taking the focus box.
class SpriteCheckbox : public MenuItem {
public:
    static constexpr std::size_t kMaxLabel = 63;
    static constexpr int kFrameOn = 142, kFrameOff = 140;
    static constexpr int kFrameOnBelow = 102, kFrameOffBelow = 101;

    // No label, frames 142 / 140.
    SpriteCheckbox();
    // The localized label, the frames and where the label goes.
    SpriteCheckbox(int stringId, int frameOn, int frameOff, bool labelBelow);
    // The localized label under the large box, frames 102 / 101.
    explicit SpriteCheckbox(int stringId);

    // MenuItem
    void draw() override;
    bool drawsOwnFocus() override { return true; }
    bool framesText() const override { return true; }
    bool onTouchDown(int x, int y) override;
    bool onTouchUp(int, int) override { return true; }
    void activate() override { onTouchDown(0, 0); }

    // A literal label (at most 63 units), shown while there is no string id.
    void setText(std::u16string_view text);
    // Measures the label and places box and label.
    void updateLayout();
    std::u16string_view labelText() const;

    MenuAction onCheck;
    MenuAction onUncheck;
    MenuAction onChange;   // after either
    CSprite* sprite = nullptr;
    int frameOn = kFrameOn, frameOff = kFrameOff;
    CFont* font = nullptr;
    std::u16string label;
    int labelStringId = -1;
    int labelX = 0, labelY = 0;
    int boxX = 0, boxY = 0;
    bool checked = false;
    bool labelBelow = false;
    int minimumWidth = -1;   // below 1: none
    // The widest the item may be, pixels (0: no limit): a label below the box
    // that is wider breaks at its spaces, and one that still does not fit (or
    // one beside the box) is drawn smaller, so a row of boxes keeps apart in
    // every language. Set before updateLayout; the fitted label is kept until
    // the next (pages are built again when the language changes).
    int fitWidth = 0;
    // The tallest the item may be, pixels (0: no limit): a label below the
    // box that would reach lower is drawn smaller.
    int fitHeight = 0;
    // The label as drawn and its scale (1 unless it was fitted).
    std::u16string_view shownLabel() const { return fitWidth > 0 ? std::u16string_view(m_shown) : labelText(); }
    float labelScale() const { return m_labelScale; }

private:
    void init(int stringId, int on, int off, bool below);
    // The label fitted to fitWidth; the text width it then takes.
    float fitLabel(float textRoom, float heightRoom);

    std::u16string m_shown;
    float m_labelScale = 1.0f;
};
