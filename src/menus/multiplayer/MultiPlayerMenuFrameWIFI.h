#pragma once
#include "menus/multiplayer/LanGameDescription.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class MenuPanel;
class ResizableButton;
class SpriteLabel;

// The games hosted on the local network: on show a browsing client asks the
// network for games, every answer becomes one row, and a row clicked joins
// that host; once the join has brought the client in, the match starts.
class MultiPlayerMenuFrameWIFI : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 125, kBackString = 116, kRefreshString = 123, kCreateString = 47;
    static constexpr int kSearchingString = 884, kNothingFoundString = 887;
    static constexpr int kJoiningString = 176, kJoinFailedString = 180, kCancelString = 0;
    static constexpr float kSearchSeconds = 10.0f, kJoinSeconds = 30.0f;
    enum ListState : int { Listing = 0, Searching = 1, Joining = 3 };

    // One listed game: the type's icon, the game's name, its map and "players/maximum".
    class MPServerMenuEntry : public MenuItem {
    public:
        static constexpr int kRowFrame = 168, kDefaultIconFrame = 36;
        static constexpr float kMapNameRoom = 0.9f;
        // Tops and middles of the row's parts, times the UI scale.
        static constexpr float kIconTop = 20.0f, kIconGap = 6.0f, kNameLine = 175.0f;

        MPServerMenuEntry(MultiPlayerMenuFrameWIFI& page, int index);

        // Takes the game of a discovery answer; false for one it cannot list.
        bool fill(std::span<const std::uint8_t> description);
        void draw() override;
        bool onTouchDown(int x, int y) override;
        bool onTouchUp(int x, int y) override;
        void activate() override;
        bool drawsOwnFocus() override { return false; }

        // The icon of a game type on the creation page's buttons.
        static int iconFrame(int gameType);

        int index = 0;
        float iconOffset = 0.0f;
        float iconScale = 1.0f;
        LanGameDescription game;
        std::u16string mapName;
        bool pressed = false;

    private:
        MultiPlayerMenuFrameWIFI& m_page;
    };

    MultiPlayerMenuFrameWIFI();
    ~MultiPlayerMenuFrameWIFI() override;

    void update() override;
    void onShow() override;
    void onHide() override;

    // A discovered game at its place in the client's list: a new row unless
    // that place is listed already. False when no row was added.
    virtual bool addRow(std::span<const std::uint8_t> description, int index);
    void refresh();
    // The row at that place was clicked: ask its host to take this client.
    void joinRow(int index);
    void beginJoinWait();
    int rowCount() const;
    MPServerMenuEntry* row(int i) const;

    // The map's name as the row shows it, from its record's title.
    static std::u16string mapTitle(int mapIndex);
    // Drops units from the end until the text with "..." fits; the text
    // itself when it fits already.
    static std::u16string fitWithEllipsis(std::u16string text, float room,
                                          const std::function<float(std::u16string_view)>& measure);

    int listState = Listing;
    float stateTimer = 0.0f;
    ResizableButton* refreshButton = nullptr;
    ResizableButton* createButton = nullptr;
    SpriteLabel* statusLabel = nullptr;
    MenuItem* searchingFlag = nullptr;
    MenuPanel* busyOverlay = nullptr;
    MenuPanel* busyWindow = nullptr;
    SpriteLabel* busyLabel = nullptr;
    ResizableButton* busyButton = nullptr;
    MenuPanel* list = nullptr;

    // The maps a row may name, the game start of a completed join and the
    // width of a text in the rows' font; the game's own unless a test sets them.
    std::function<int()> mapCount;
    std::function<void(int type, int map)> launch;
    std::function<float(std::u16string_view)> measure;

private:
    void layoutPage();
    void showBusy(bool shown);
    void offerDiscovered();
};
