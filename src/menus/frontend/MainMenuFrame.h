#pragma once
#include "modes/progress/UnlocksMgr.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <string>

class SpriteButton;

// The first page: six large buttons along the bottom of the menu flight, the
// showcase plane above them. Drags over the scene still turn the camera and
// change the plane. It asks once whether the player wants the tutorials
// before multiplayer, and shows the notice of a plane unlocked at start.
class MainMenuFrame : public SceneMenuFrame, public IUnlockListener {
public:
    static constexpr int kOnlineFrame = 5, kPlayFrame = 3, kMultiplayerFrame = 11;
    static constexpr int kProfileFrame = 7, kOptionsFrame = 13, kQuitFrame = 9;
    static constexpr int kOnlineString = 67, kPlayString = 41, kMultiplayerString = 116;
    static constexpr int kProfileString = 133, kOptionsString = 40, kQuitString = 42;
    static constexpr int kButtonFont = 2;
    static constexpr std::size_t kNoticeUnits = 512;

    MainMenuFrame();
    // Stops being the unlock listener: a rebuilt menu must not be told through a freed one.
    ~MainMenuFrame() override;

    void update() override;
    void onShow() override;
    // Left and right walk the row of buttons, skipping the disabled ones.
    void rebuildFocusLinks() override;
    // The back key asks whether to quit instead of going back.
    bool onEscape() override;

    void onOnlineButton();
    void onPlay();
    void onMultiplayer();
    void onProfile();
    void onOptions();
    void onQuit();
    void openMultiplayer();
    void onOnline();
    // The tutorial list with the play menu under it, so back leads to play
    // and then here. The question stays due.
    void openTutorials();

    // IUnlockListener: only a plane unlocked for owning another of our games
    // leaves a notice; anything else drops a pending one.
    void onItemUnlocked(const UnlockItem& item, UnlockEventType event, const std::string& message) override;

    int pendingPlane = -1;
    std::u16string noticeText;
    SpriteButton* playButton = nullptr;
    SpriteButton* multiplayerButton = nullptr;
    SpriteButton* optionsButton = nullptr;
    SpriteButton* profileButton = nullptr;
    SpriteButton* quitButton = nullptr;
    SpriteButton* onlineButton = nullptr;

private:
    SpriteButton* addButton(int frame, int stringId, MenuAction action);
    // A button whose page is not there stays off and out of the focus.
    void enableLinked();
};
