#pragma once
#include "ui/MenuNavigation.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <string>

class ResizableButton;
class SpriteLabel;

// The one modal message box of the menus: a centred box with a wrapped text,
// the close button and up to two more buttons, each running its own callback.
// Opened only through the show operations below; the callback runs after the
// alert is marked closed, so it may open the alert again.
class MenuAlert : public FilledMenuFrame, public IMenuModal {
public:
    using Callback = MenuAction;

    static MenuAlert& instance();
    // Made on first use; registered with the navigation as its alert layer.
    static MenuAlert* existing();

    // FilledMenuFrame
    void onShow() override;
    bool onEscape() override;

    // IMenuModal
    bool modalOpen() const override { return !closed; }
    MenuItem& modalItem() override { return *this; }
    MenuFrame* modalInputFrame() override { return this; }
    void modalBack() override { onEscape(); }
    void forgetListeners() override;
    void hideModal() override { closed = true; }

    // Size, place and sheets for the screen as it is now (it may have changed
    // since the alert was made).
    void fitToScreen();
    void setText(std::u16string_view text);
    void setupCloseAndOptionalButton(std::u16string_view text, bool showA);
    void setupTwoButtons(std::u16string_view text);
    void setupSingleButton(std::u16string_view text);

    void onCloseButton();
    void onButtonA();
    void onButtonB();

    ResizableButton* closeButton() const { return backButton(); }
    ResizableButton* buttonA = nullptr;
    ResizableButton* buttonB = nullptr;
    SpriteLabel* textLabel = nullptr;
    Callback closeCallback, callbackA, callbackB;
    bool closed = true;

private:
    MenuAlert();
};

void showAlert(std::u16string_view text, MenuAction callback);
void showMessage(std::u16string_view text);
void showMessageById(int stringId);
// The close button confirms and runs the callback; button A only closes.
void showConfirm(int stringId, MenuAction callback);
void showQuestionAlert(MenuAction callbackA, MenuAction callbackB);
void showNoticeAlert();
