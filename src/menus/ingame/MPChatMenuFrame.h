#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

class MenuPanel;
class ResizableButton;
class SpriteEditBox;
class SpriteLabel;

// The chat over a network match: stock lines, the player's six own lines
// and a box to type one. A chosen line goes into the chat log here and to
// the other players, and the chat closes.
class MPChatMenuFrame : public FilledMenuFrame {
public:
    static constexpr std::array<int, 6> kStockStrings = {156, 169, 170, 160, 157, 158};
    static constexpr int kStockCaption = 873, kOwnCaption = 874, kTypeCaption = 875, kCloseString = 129;
    static constexpr int kTypedUnits = 40;

    // One line of the list; made without text it is a spacer.
    class NetMsgEntry : public MenuItem {
    public:
        static constexpr std::size_t kMaxText = 63;
        static constexpr int kRowHeight = 54, kSpacerHeight = 30;

        NetMsgEntry(MPChatMenuFrame& page, const std::u16string* text);

        void draw() override;
        bool drawsOwnFocus() override { return true; }
        bool onTouchDown(int x, int y) override;
        bool onTouchUp(int x, int y) override;
        void activate() override;
        bool isSpacer() const { return index < 0; }

        int fontId = 1;
        int index = 0;
        std::u16string text;
        bool pressed = false;

    private:
        MPChatMenuFrame& m_page;
    };

    MPChatMenuFrame();

    void onShow() override;
    bool onEscape() override;
    void draw() override;

    // Into the chat log and to the other players, then the chat closes.
    void sendLine(std::u16string_view text);
    void closeChat();
    void rebuildRows();
    int rowCount() const;
    NetMsgEntry* row(int i) const;

    MenuPanel* list = nullptr;
    std::array<SpriteLabel*, 3> captions{};
    SpriteEditBox* textBox = nullptr;
    ResizableButton* closeButton = nullptr;
    // The chat action that asks for typing opens the keyboard on the box at once.
    bool typeAtOnce = false;

    // Closing the overlay over the game; the screens' own unless a test sets it.
    std::function<void()> closeOverlay;

private:
    void placeItems();
};

// The chat action of the HUD in a network match: the chat page over the game.
void openChatOverGame(bool typeAtOnce);
