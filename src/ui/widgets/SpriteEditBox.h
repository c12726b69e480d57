#pragma once
#include "ui/MenuItem.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class SceneMenuFrame;

// How the on-screen keyboard hands its result back.
class IKeyboardListener {
public:
    virtual ~IKeyboardListener() = default;
    virtual void onTextAccepted(std::u16string_view text) = 0;
    // The text the keyboard was opened with.
    virtual void onTextCancelled(std::u16string_view startText) = 0;
};

// A player name made presentable: runs of "^*.,'" and spaces collapse to one
// and a leading one goes; a name with fewer than 3 characters outside the
// symbol set becomes empty. Writes at most out.size() - 1 units and a 0
// (nothing for an empty span); returns the units written before the 0.
std::size_t sanitizeNameText(std::span<char16_t> out, std::u16string_view source);
std::u16string sanitizeNameText(std::u16string_view source);

// A text field in a box; a tap or activation opens the on-screen keyboard
// with its text, and the keyboard's result comes back through the listener.
class SpriteEditBox : public MenuItem, public IKeyboardListener {
public:
    static constexpr std::size_t kMaxText = 255;
    static constexpr int kBoxFrame = 95, kSizeFrame = 171;

    SpriteEditBox(std::u16string_view text, MenuContainer* parentItem);

    // MenuItem
    void draw() override;
    bool onTouchDown(int, int) override { return true; }
    bool onTouchUp(int x, int y) override;
    void activate() override { onTouchUp(0, 0); }

    // IKeyboardListener
    void onTextAccepted(std::u16string_view text) override;
    void onTextCancelled(std::u16string_view startText) override;

    // At most 255 units; the mask is one '*' a unit.
    void setText(std::u16string_view newText);
    void updateLayout();
    void openKeyboard();

    const std::u16string& text() const { return m_text; }
    const std::u16string& maskText() const { return m_mask; }

    int fontId = 1;
    int textX = 0, textY = 0;
    int captionX = 0, captionY = 0;
    int captionStringId = -1;
    bool masked = false;
    bool cancelled = false;
    bool nameRules = false;
    std::function<void(std::u16string_view)> onChange;
    int maxLength = 19;
    float keyboardBrightness = 1.0f;
    SceneMenuFrame* ownerFrame = nullptr;
    // A text that stands in until the player writes their own: the keyboard
    // opens empty on it, and a cancel keeps it. Empty: none.
    std::u16string placeholder;

private:
    bool m_openedOnPlaceholder = false;
    std::u16string m_text;
    std::u16string m_mask;
};
