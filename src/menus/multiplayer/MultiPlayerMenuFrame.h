#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

class MenuPanel;
class ResizableButton;
class SpriteButton;

// The way into multiplayer from the main menu: the LAN game list, the online
// room browser, and a small button to pick one room server by hand.
class MultiPlayerMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kBackString = 883, kTitleString = 116;
    static constexpr int kLanFrame = 42, kLanString = 125;
    static constexpr int kOnlineFrame = 38, kOnlineString = 126;
    static constexpr int kServersString = 1023, kModifiedDataString = 1891;
    static constexpr int kButtonFont = 1;

    MultiPlayerMenuFrame();

    void onShow() override;
    void onBack() override;
    bool onEscape() override;
    void rebuildConnectorLines() override;

    void onLan();
    void onOnline();
    void onServers();

    MenuPanel* buttonPanel = nullptr;
    SpriteButton* lanButton = nullptr;
    SpriteButton* onlineButton = nullptr;
    ResizableButton* serversButton = nullptr;
    // Set when the data files differ from their hash list: no online play then.
    std::function<bool()> dataFilesModified;

protected:
    // The title and the panel of sprite buttons, centred on the screen.
    explicit MultiPlayerMenuFrame(int titleString, int backString);
    SpriteButton* addPanelButton(int frame, int stringId, MenuAction action);
    SpriteButton* placePanelButton(SpriteButton* button, MenuAction action);
    void placePanel();
};
