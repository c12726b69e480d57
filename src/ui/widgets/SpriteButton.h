#pragma once
#include "ui/MenuHooks.h"
#include "ui/MenuItem.h"

#include <string>
#include <string_view>

class CFont;
class CSprite;
class MenuContainer;
class MenuFrame;

// The push button of the menu pages: one frame of a sprite set (or sized to
// its label when it has none) with a localized or literal label. Its click
// plays the click sound, may ask for confirmation, calls the owner's callbacks
// and may open another page.
class SpriteButton : public MenuItem {
public:
    static constexpr std::size_t kMaxLabel = 63;   // units of a literal label
    static constexpr std::uint32_t kDefaultLabelAlignment = kAlignCentreX | kAlignCentreY;

    // Set 7, frame 0, font 1; laid out at once.
    explicit SpriteButton(std::u16string_view label);
    explicit SpriteButton(int stringId);
    // Set 7, the given frame, font 1.
    SpriteButton(int frame, std::u16string_view label);
    // The given set (-1: none), frame and font; placed in the parent when given.
    SpriteButton(int set, int frame, int font, std::u16string_view label, MenuContainer* parent = nullptr);
    SpriteButton(int set, int frame, int font, int stringId, MenuContainer* parent = nullptr);

    // The construction of derived entry buttons: set 7, frame 0, font 1, not laid out.
    struct BaseOnly {};
    SpriteButton(BaseOnly, int stringId);

    // MenuItem
    void draw() override;
    bool drawsOwnFocus() override { return drawsOwnFocusBox; }
    bool framesText() const override { return isFrameButton(); }
    void layout(int originX, int originY) override;
    bool onTouchDown(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool onTouchCancel() override;
    bool contains(int x, int y, float margin) const override;
    void activate() override;

    // A literal label (at most 63 units); the string id is cleared.
    void setText(std::u16string_view text);
    // Measures the label and sizes the button.
    virtual void updateLabel();
    // The click: sound, confirmation or alert, callbacks, target page.
    void fire();

    // The label as shown: the localized string when the id is 1 or more.
    std::u16string_view labelText() const;
    bool hasLabel() const;
    bool isFrameButton() const { return sprite && frame != -1; }
    // The plain push button of the menu sheet.
    static constexpr int kPushButtonFrame = 15;

    float scale = 1.0f;
    float textScale = -1.0f;   // -1: the scale is used
    std::uint32_t labelAlignment = kDefaultLabelAlignment;
    CSprite* sprite = nullptr;
    int frame = -1;
    int pressedFrameOffset = 0;   // 0: the same frame drawn dimmed
    bool playClickSound = true;
    CFont* font = nullptr;
    std::u16string label;
    int labelStringId = 0;
    int labelX = 0, labelY = 0;
    int labelNudgeX = 0, labelNudgeY = 0;
    MenuAction onClick;   // after the click sound and any confirmation
    MenuAction onClick2;  // right after onClick, without a confirmation
    bool pressed = false;
    MenuFrame* targetFrame = nullptr;
    int confirmStringId = -1;
    const char16_t* alertText = nullptr;
    int pressX = 0, pressY = 0;
    int labelLanguage = -1;
    int fixedWidth = 0;
    float touchMargin = 0.0f;
    bool drawsOwnFocusBox = true;
    int captionStringId = -1;
    int captionX = 0, captionY = 0;
    Color4 textColor;
    bool useTextColor = false;
    // A focused button takes this colour instead of the pulsing focus tint
    // when a page shows a state through it (a held key, a binding being captured).
    Color4 focusColor;
    bool useFocusColor = false;
    // Where a frame button's art leaves room for its label, as fractions of
    // the button's size (0 to 1, left to right and top to bottom). When set,
    // the label is centred in it and drawn smaller when it would run past it,
    // so long words in any language stay on the button.
    struct LabelBox {
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
        bool set() const { return right > left && bottom > top; }
    };
    LabelBox labelBox;
    // The factor the label box asked for at the last measure (1 when it fits).
    float labelFit() const { return m_labelFit; }

protected:
    // Re-measures when the interface language changed since the last measure.
    void followLanguage();
    float effectiveTextScale() const { return (textScale == -1.0f ? scale : textScale) * m_labelFit; }
    Color4 focusedColor() const;
    void drawTexts(bool focused);
    // True when the button was not moved since the press and the point is on it.
    bool releaseHits(int x, int y) const;

private:
    void init(int set, int frameNumber, int fontId);
    void fitLabelIntoBox();
    float m_labelFit = 1.0f;
};

// An invisible tap area that draws its own focus box.
class SpriteButton2 : public SpriteButton {
public:
    // Set 7, no frame, font 2, no label; the owner sets the size.
    SpriteButton2();
    bool drawsOwnFocus() override;
};

// A button with press and release callbacks; it reports touches as not handled.
class SpriteButtonR : public SpriteButton {
public:
    SpriteButtonR(int set, int frame, int font, int stringId);

    bool onTouchDown(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    void activate() override;

    MenuAction onPress;
    MenuAction onRelease;
};

// A three-part box (left cap, stretched middle, right cap) sized to its text:
// the back button of every page and the alert's buttons.
class ResizableButton : public SpriteButton {
public:
    explicit ResizableButton(int stringId);
    explicit ResizableButton(std::u16string_view label);

    // Set 7 with the three frames and the font.
    void setup(int left, int middle, int right, int fontId);
    void updateLabel() override;
    void draw() override;
    bool framesText() const override { return sprite != nullptr && leftCap != -1; }

    int leftCap = -1, rightCap = -1, middle = -1;
    int icon = -1;    // drawn instead of the label
    int badge = -1;   // drawn on top
};
