#pragma once
#include "net/match/ServerInfo.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <array>

class MenuPanel;
class SpriteButton;
class SpriteCheckbox;
class SpriteEditBox;
class SpriteLabel;

// Opening a room on the online room server: the room name, the game type and
// the match set-up, then the room's rules (private, teams, the filters). The
// host operation describes the game and asks the server for the room; the
// room's game is then joined as a client, like any other room.
class MPCreateOnlineMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 740, kBackString = 126, kSetupBackString = 880;
    static constexpr int kPrivateString = 1027, kTeamString = 1202, kFiltersString = 401, kCreatingString = 176;
    static constexpr int kLostString = 177;
    static constexpr std::size_t kMaxStoredName = 63;
    static constexpr std::uint32_t kMarker1 = 456, kMarker2 = 789456;

    MPCreateOnlineMenuFrame();

    void update() override;
    void onShow() override;
    void onHide() override;

    // The set-up page's start: the room described, its request two updates later.
    virtual void hostGame();
    void onSurvival();
    void onMode(int type);
    void onMode13();

    SpriteEditBox* nameBox = nullptr;
    std::array<SpriteButton*, 7> modeButtons{};
    MenuPanel* optionsRow = nullptr;
    SpriteCheckbox* privateBox = nullptr;
    SpriteCheckbox* teamBox = nullptr;
    SpriteButton* filtersButton = nullptr;
    MenuPanel* busyOverlay = nullptr;
    SpriteLabel* busyLabel = nullptr;
    int createDelay = 0;
    // The last map this page's rotation handed out (the LAN page keeps its own).
    int onlineRotation = 0;
    // The room as last described.
    ServerInfo info;
    std::u16string roomName;

private:
    void showBusy(int stringId);
};
