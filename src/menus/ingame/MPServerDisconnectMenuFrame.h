#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

class MenuPanel;
class ResizableButton;
class SpriteLabel;

// The notice over a network match whose host has gone: OK tears the network
// game down and leads back into the menus (or on to the game's result).
class MPServerDisconnectMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 134, kTextString = 135, kOkString = 18;

    MPServerDisconnectMenuFrame();

    void onShow() override;
    bool onEscape() override { return true; }
    void onOk();

    MenuPanel* panel = nullptr;
    SpriteLabel* noticeTitle = nullptr;
    SpriteLabel* text = nullptr;
    ResizableButton* okButton = nullptr;

    // Where free flight and the other games lead (every game but free
    // flight goes on to the result page); the menus' own unless a test sets them.
    std::function<void()> showMenuScreen;
    std::function<MenuFrame*()> gameResult;
    std::function<MenuFrame*()> onlineRooms;
};
