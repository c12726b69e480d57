#pragma once
#include "ui/MenuItem.h"

#include <string>
#include <string_view>

class CFont;
class CSprite;
class MenuContainer;

// Static text in one font, sized to its text: a localized string chosen by
// number or its own copy of a literal text. It never takes input.
class SpriteLabel : public MenuItem {
public:
    static constexpr std::size_t kMaxText = 511;    // units of a literal text
    static constexpr std::size_t kBufferUnits = 1024;

    explicit SpriteLabel(std::u16string_view text);
    SpriteLabel(int fontId, std::u16string_view text);
    SpriteLabel(int fontId, std::u16string_view text, MenuContainer* parent);
    // The text wrapped to the width.
    SpriteLabel(int fontId, int wrapWidth, MenuContainer* parent, std::u16string_view text);
    // A fixed height.
    SpriteLabel(int fontId, std::u16string_view text, MenuContainer* parent, int fixedHeight);
    explicit SpriteLabel(int stringId);
    SpriteLabel(int fontId, int stringId, MenuContainer* parent);
    SpriteLabel(int fontId, int stringId);

    // MenuItem
    void draw() override;
    bool contains(int x, int y, float margin) const override;

    // A literal text, cut at 511 units; the string id is cleared.
    void setText(std::u16string_view text);
    // The localized string broken into lines no wider than the width.
    void setWrappedText(int stringId, int wrapWidth);
    // Re-measures; the size becomes (measured width, the given height).
    virtual void setHeight(int fixedHeight);
    // Measures the text, sizes the label and places it again against its parent.
    virtual void updateSize();

    // The text as shown; empty when there is none.
    std::u16string_view shownText() const;
    bool hasText() const { return stringId >= 0 || !text.empty(); }
    CFont* font() const;

    int textOffsetX = 0, textOffsetY = 0;
    int fontId = 0;
    std::u16string text;
    int stringId = -1;      // 0 or more: the localized string
    int labelLanguage = -1;
    Color4 textColor;
    bool useTextColor = false;
    int textFlags = 0;      // the font's anchor flags

protected:
    SpriteLabel() = default;
    void placeAgain();
    void init(int font, MenuContainer* parentItem);
};

// A label with a background of sprite frames sized around its text: three
// parts, a nine-part box or one stretched frame.
class ResizableLabel : public SpriteLabel {
public:
    explicit ResizableLabel(std::u16string_view text);

    // Set 7 with the three frames and the font.
    void setup(int left, int middle, int right, int fontId);
    void updateSize() override;
    void draw() override;
    bool framesText() const override { return sprite != nullptr; }

    CSprite* sprite = nullptr;
    bool ninePart = false;
    int singleFrame = -1;   // also the nine-part box
    bool useSingleFrame = false;
    int leftCap = -1, rightCap = -1, middle = -1;
};
