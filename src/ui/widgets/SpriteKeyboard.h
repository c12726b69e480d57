#pragma once
#include "ui/MenuNavigation.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <memory>
#include <string>

class CFont;
class IKeyboardListener;
class SceneMenuFrame;

// The on-screen keyboard: one picture in the lower half of the screen with a
// close button and a caption. It edits a copy of the text from the typed
// characters of the key queue and, once closed, tells its listener exactly
// once: accepted with the edited text, or cancelled with the starting text.
class SpriteKeyboard : public MenuItem, public IMenuModal {
public:
    static constexpr int kSet = 0, kFrame = 0;
    static constexpr int kPartCount = 31;
    static constexpr std::size_t kMaxText = 255;

    static SpriteKeyboard& instance();
    static SpriteKeyboard* existing();

    // MenuItem
    void draw() override;
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;

    // IMenuModal
    bool modalOpen() const override { return visible; }
    MenuItem& modalItem() override { return *this; }
    // The back key cancels: the starting text comes back and the listener hears it.
    void modalBack() override { cancel(); }
    void forgetListeners() override { listener = nullptr; }
    void hideModal() override { hide(); }

    void show();
    // Opens for `listener` with `text` over `page` (may be null): the page
    // draws only its 2-D part meanwhile, and its items lose their focus links so
    // the controller stays on the keyboard, whose close button takes the focus.
    void openOver(SceneMenuFrame* page, IKeyboardListener& listener, std::u16string_view text, int maxTextLength,
                  float startBrightness = 1.0f);
    // Closes at once without telling the listener (the history is being cleared).
    void hide();
    void setText(std::u16string_view text);
    void cancel();
    void accept();
    // One typed character: 10 accepts, 8 erases before the caret.
    void type(char32_t c);
    // The part of the picture under the point, -1 for none.
    int keyAt(int px, int py) const;
    // What a release on the part types: a letter, a space, 8 (erase), 10
    // (accept); 0 for the text area and parts out of range.
    static char32_t keyCharacter(int part);

    const std::u16string& editText() const { return m_edit; }
    const std::u16string& startText() const { return m_start; }
    bool closing() const { return m_closing; }

    bool pressedLook = false;
    bool closePressed = false;
    int keyboardHeight = 0;
    IKeyboardListener* listener = nullptr;
    int caret = 0;
    int keyFontId = 2, textFontId = 2;
    int targetY = 0;
    float brightness = 1.0f;
    bool touchActive = false;
    bool cancelled = false;
    CFont* widthLimitFont = nullptr;
    int maxWidth = 0;
    std::unique_ptr<ResizableButton> closeButton;
    std::unique_ptr<SpriteLabel> caption;
    int maxLength = 19;

private:
    SpriteKeyboard();
    bool onClearArea(int px, int py) const;
    void startClosing();

    bool m_closing = false;
    int m_downKey = -1;          // the part the touch went down on
    bool m_downOnText = false;   // the touch went down on the text area
    std::u16string m_edit, m_start;
};

// The two pressed-key markers others read: (0, 4) while the keyboard is open,
// (-1, -1) once it closes.
int keyboardMarker(int which);
