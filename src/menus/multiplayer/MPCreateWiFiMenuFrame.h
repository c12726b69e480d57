#pragma once
#include "net/match/ServerInfo.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

class MenuPanel;
class SpriteButton;
class SpriteEditBox;

// Hosting a game on the local network: a game name, one of seven game types
// and the set-up page, whose start comes back to hostGame: the game's
// description is filled, the host's network game starts and the match with it.
class MPCreateWiFiMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 739, kBackString = 738, kSetupBackString = 882;
    static constexpr int kHostFailedString = 177;
    static constexpr int kButtonFont = 1;
    static constexpr float kButtonScale = 0.75f;
    static constexpr std::size_t kMaxRoomNameUnits = 63;

    MPCreateWiFiMenuFrame();

    void onShow() override;
    void onHide() override;
    void rebuildConnectorLines() override;
    // The set-up page's start (and survival's): describe, host, play.
    virtual void hostGame();

    void onSurvival();
    void onMode2();
    void onMode3();
    void onMode4();
    void onMode5();
    void onMode13();

    // Steps 1-5 of hosting: the map, the host entry of the match table, the
    // description and the stored room name. Returns the map.
    int describeGame(ServerInfo& info);

    SpriteEditBox* nameBox = nullptr;
    MenuPanel* leftPanel = nullptr;
    MenuPanel* rightPanel = nullptr;
    MenuPanel* lowerPanel = nullptr;
    SpriteButton* survivalButton = nullptr;
    SpriteButton* ffaButton = nullptr;
    SpriteButton* freeFlightButton = nullptr;
    SpriteButton* tdButton = nullptr;
    SpriteButton* ctfButton = nullptr;
    SpriteButton* dtbButton = nullptr;
    SpriteButton* lmsButton = nullptr;

    // The maps of the rotation, the host's start (false: no socket) and the
    // match start; the game's own unless a test sets them.
    std::function<int()> mapCount;
    std::function<bool(int maxClients)> startServer;
    std::function<void(int type, int map)> launch;

    // The last map this page's rotation handed out; not saved.
    static int& lanRotation();

protected:
    void placeItems();
    void goToSetup();
};

// "-autohost TYPE:MAP": the way to this page from the main menu, then its host
// action with that game type and map.
void autohostLanGame(int type, int map);
