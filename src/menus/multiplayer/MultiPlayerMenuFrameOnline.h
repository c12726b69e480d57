#pragma once
#include "menus/multiplayer/RoomEntry.h"
#include "net/match/NetworkGameHandler.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteEditBox.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class MenuContainer;
class MenuPanel;
class SpriteButton;
class SpriteButton2;
class SpriteLabel;

// The online room browser: connects to the room server, lists its rooms
// ordered by how near each host's rank is to the player's, opens a room's
// lobby window, joins a room by its number or a typed name and starts the
// room's game as a client once the network game is connected. The room
// server's events reach it through the handler.
class MultiPlayerMenuFrameOnline : public FilledMenuFrame, public IKeyboardListener, public IRoomEvents {
public:
    static constexpr int kTitleString = 126, kBackString = 116, kRefreshString = 123, kCreateString = 47,
                         kJoinByNameString = 1028, kEmptyString = 884, kConnectingString = 174,
                         kJoiningString = 175, kWaitingString = 66, kLostString = 177, kRefusedString = 178,
                         kNoSuchRoomString = 4932, kRoomFullString = 4933, kWrongPasswordString = 4934,
                         kPlayersString = 124, kTimeString = 359, kFilterString = 392, kTierNames = 1222;
    static constexpr int kDimFrame = 2, kWindowFrame = 96, kPanelFrame = 95, kBracketFrame = 259;
    static constexpr int kMapSet = 11;
    static constexpr int kPlayerRows = 8;
    static constexpr std::size_t kMaxJoinName = 31;

    // One room of the list: its own copy of the announcement and the texts
    // made from it when it was listed.
    class MPServerMenuEntry : public MenuItem {
    public:
        MPServerMenuEntry(MultiPlayerMenuFrameOnline& page, const std::uint8_t* message, int width, int height);
        void draw() override;
        bool onTouchDown(int x, int y) override;
        bool onTouchUp(int x, int y) override;
        void activate() override;

        // The later announcement of the same room: new data, same texts and place.
        void refreshFrom(const std::uint8_t* message);

        MultiPlayerMenuFrameOnline& page;
        RoomEntry room;
        int bracket = 0;
        std::u16string planeText, mapText, roomText;
        float iconOffset = 0.0f;

    private:
        int m_pressX = 0, m_pressY = 0;
        bool m_pressed = false;
    };

    // One line of the lobby's player list: the rank glyph, then the name.
    class RoomPlayer : public MenuItem {
    public:
        RoomPlayer(int width, int height);
        void draw() override;
        std::u16string name = u"-";
        int rank = -1;
    };

    MultiPlayerMenuFrameOnline();
    ~MultiPlayerMenuFrameOnline() override;

    // MenuFrame
    void update() override;
    bool onTouchUp(int x, int y) override;
    void onShow() override;
    void onHide() override;
    void onBack() override;
    bool onEscape() override;
    void rebuildFocusLinks() override;

    // IRoomEvents
    void onRoomEntry(const std::uint8_t* entry) override;
    void onRoomLeft() override;
    void onRoomError(const char* text) override;
    void onRoomInfo(const std::uint8_t* message, std::size_t length) override;
    void onConnectFailed() override;
    void onConnected() override;
    void onRoomMessage(const char*) override {}

    // IKeyboardListener
    void onTextAccepted(std::u16string_view text) override;
    void onTextCancelled(std::u16string_view startText) override;

    void refresh();
    void openDetails(MPServerMenuEntry& row);
    // The join area: the plane checks, then the join two frames later.
    void joinShownRoom();
    void openNameKeyboard();
    void sortRows();
    std::vector<MPServerMenuEntry*> rows() const;
    MPServerMenuEntry* findRow(std::uint16_t number) const;
    bool detailsOpen() const;

    // The events of the handler, passed to the page (made on first use).
    static IRoomEvents& roomEvents();
    // Starts the joined game when the client's join has been applied;
    // a join naming a map or type the game lacks ends the network game.
    static bool startJoinedGame(NetworkGameHandler& handler);
    // A joined game the game can play: a mode rooms are played in, on a map it has.
    static bool playableJoin(int gameType, int mapIndex);
    // What starting a joined game does (tests record it); empty: the game's own start.
    static std::function<void(int type, int map)>& gameStarter();
    // Back to the main menu, then the multiplayer page, with the message.
    static void returnToMultiplayer(int stringId);
    // "+connect_lobby ID" with "+password TEXT": this page joins the room of
    // that number as soon as the room server answers; an id that is no room
    // number leaves the main menu with the notice why.
    static void joinRequestedRoom(const std::string& id, const std::string& password);
    // The room number of a requested id, -1 when it is none.
    static int roomNumberOf(const std::string& id);
    // Why the room server turned a join away, by its error code.
    static int joinRefusedString(int errorCode);

    bool listDirty = false;
    int connectDelay = 0;
    RoomEntry* selectedRoom = nullptr;
    const std::uint8_t* selectedInfo = nullptr;
    int joinDelay = 0;
    bool quickMatch = false;
    // Whether the last connection to the room server was made for a quick
    // match; kept after the connection, when quickMatch is cleared.
    bool lastConnectQuick = false;
    std::string joinName;
    // The room asked for from outside the game, -1 none; the password goes with its join.
    int requestedRoom = -1;
    std::string requestedPassword;
    std::array<RoomPlayer*, kPlayerRows> playerRows{};

    SpriteLabel* searchingLabel = nullptr;
    SpriteButton* emptyNotice = nullptr;
    SpriteButton* refreshButton = nullptr;
    SpriteButton* createButton = nullptr;
    SpriteButton* joinByNameButton = nullptr;
    MenuPanel* busyOverlay = nullptr;
    SpriteLabel* busyLabel = nullptr;
    MenuPanel* detailsWindow = nullptr;
    SpriteButton* mapPicture = nullptr;
    SpriteLabel* roomTitle = nullptr;
    SpriteLabel* planeLine = nullptr;
    SpriteLabel* mapName = nullptr;
    SpriteLabel* playersValue = nullptr;
    SpriteLabel* timeCaption = nullptr;
    SpriteLabel* timeValue = nullptr;
    SpriteLabel* filterCaption = nullptr;
    SpriteLabel* filterValue = nullptr;
    SpriteButton* bracketIcon = nullptr;
    std::array<SpriteButton*, 3> bullets{};
    MenuPanel* playersList = nullptr;
    SpriteLabel* waitingLabel = nullptr;
    SpriteButton2* joinArea = nullptr;
    // The count of loaded skirmish maps; the map lists' unless a test sets it.
    std::function<int()> mapCount;

private:
    void buildDetails();
    void showBusy(int stringId);
    void hideBusy();
    void showListView();
    void closeDetailsToList();
    // Each frame: the join asked for two frames ago, the handler, the game start.
    void updateJoin();
    void sendJoin();
    NetworkGameHandler* handler() const { return NetworkGameHandler::instance(); }
    int loadedMapCount() const;
    // The row of the room the lobby shows, null when it is gone.
    void removeRow(MPServerMenuEntry* row);
};

// The name of plane tier t; empty for a tier the plane list does not have.
std::u16string tierName(int tier);
// The text cut to fit the width in the font, "..." closing a cut text.
std::u16string fitText(int fontId, std::u16string text, float maxWidth);
// The dimmed screen-wide cover with a centred window and one line of text
// that holds the page while the online service answers; made hidden.
MenuPanel* buildBusyOverlay(int stringId, SpriteLabel** labelOut);
// The cover shown over the page with that text, in front and taking every touch.
void showBusyOverlay(MenuContainer& page, MenuPanel& overlay, SpriteLabel& label, int stringId);
