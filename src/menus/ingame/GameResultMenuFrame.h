#pragma once
#include "modes/GameType.h"
#include "modes/progress/UnlocksMgr.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MenuPanel;
class SpriteLabel;
struct PlaneCfg;

// What a finished game hands the result page: its kind, how it was played and
// the local player's point sums over its matches.
struct GameResultInput {
    GameType type = GameType::FreeForAll;
    bool singlePlayer = true;
    bool network = false;        // hosted or joined
    bool online = false;         // through the room server
    float pointsFactor = 1.0f;   // the online client's plane bonus
    const PlaneCfg* plane = nullptr;
    int killPoints = 0, deathPoints = 0, basePoints = 0, objectivePoints = 0, resultPoints = 0;
    int medal = 0;
    int campaign = -1, mission = -1, difficulty = 1;
    int dogfight = -1;
    // A network game's server and the map slot it was played on (-1: none).
    std::u16string serverName;
    int networkMap = -1;

    // The running game's values (the current mode, the score keeper, the
    // network client); a default input when no game runs.
    static GameResultInput fromCurrentGame();
};

// The points rows of a result: their kinds in table order, the factor every
// score value is multiplied by and the points the game earned, bonus included.
struct PointRows {
    enum Kind : int { Kills = 0, BaseDamage = 1, Objectives = 2, Result = 3, Bonus = 4 };
    static constexpr int kMaxRows = 5;
    std::array<int, kMaxRows> kinds{};
    std::array<std::u16string, kMaxRows> labels, values;
    int count = 0;
    float scoreFactor = 1.0f;
    std::int32_t pointsEarned = 0;
    std::int32_t bonus = 0;

    static PointRows build(const GameResultInput& input);
};

// The last page of every finished game: the points earned, booked into the
// pilot's totals and rank, then counted up with the rank bar, a promotion
// fanfare and the planes the result unlocked. Any input then leads back to
// the menus.
class GameResultMenuFrame : public FilledMenuFrame, public IUnlockListener {
public:
    static constexpr int kTitleText = 729, kCampaignTitleText = 872, kTotalText = 730, kPromptText = 49;
    static constexpr int kKillsText = 1185, kKillsDeathsText = 1186, kBaseText = 1189, kObjectiveText = 1190,
                         kBonusText = 1191, kResultText = 1192;
    static constexpr int kPromotedText = 1669, kPromotedTailText = 1670, kUnlockedText = 1671;
    static constexpr int kMapText = 886, kServerText = 885;
    static constexpr int kRankNameBase = 138;
    static constexpr int kInsigniaSet = 17, kMedalFrameBase = 17, kMedalModeFrame = 18, kRankIconBase = 21;
    static constexpr int kPanelFrame = 95, kRankBarFrame = 160, kRankFillFrame = 161, kRankPanelFrame = 162,
                         kPointsPanelFrame = 163;
    static constexpr int kRankChangedEvent = 48, kCampaignsDoneEvent = 46;
    static constexpr int kTopRank = 17;
    static constexpr float kRowStep = 0.1f, kRankStepTime = 0.5f, kPromotionTime = 0.7f, kFanfareDelay = 0.2f;
    static constexpr float kUnlockDelay = 0.2f, kUnlockCycle = 2.0f;

    enum State : int { Reveal = 0, Count = 1, CountAfterStep = 2, RankStep = 3, Promotion = 4, Unlock = 5, Final = 6 };

    GameResultMenuFrame();
    ~GameResultMenuFrame() override;

    // MenuFrame
    void draw() override;
    void update() override;
    bool onTouchUp(int x, int y) override;
    void onShow() override;
    void onHide() override;
    bool onEscape() override;
    void rebuildConnectorLines() override;
    // IUnlockListener: the page announces unlocks itself.
    void onItemUnlocked(const UnlockItem&, UnlockEventType, const std::string&) override {}

    // Books the result of the input (once per finished game) and starts the
    // animation; onShow runs it with the running game's values.
    void showResult(const GameResultInput& input);
    void layoutInsignia();
    void onContinue();

    // Where continue leads besides the main menu, the play menu and its
    // campaign and dogfight pages: the multiplayer pages, filled in main.cpp.
    struct Routes {
        std::function<MenuFrame*()> multiPlayer, lanGames, onlineRooms;
        // The online page's last connection was a quick match.
        std::function<bool()> quickMatch;
        // Leaves the game for the menu screen; the default drops the overlays
        // and switches to the menus.
        std::function<void()> leaveGame;
        // The network client's plane bonus of an online game (1 when empty),
        // and the client's disconnect when a joined match is left.
        std::function<float()> pointsFactor;
        std::function<void()> disconnect;
        // The network match's server name and map slot (empty and -1 outside one).
        std::function<std::u16string()> serverName;
        std::function<int()> networkMap;
    };
    static Routes& routes();

    // The insignia frame of sprite set 17 the page draws now.
    int insigniaFrame() const;
    // The count segment's end after a rank step.
    std::int32_t nextSegmentTarget() const;
    // The counting sound's pitch factor for the count shown.
    float countPitch() const;

    PointRows rows;
    int resultState = Reveal;
    float stateTimer = 0.0f;
    int rowsShown = 0;
    std::int32_t oldTotal = 0;
    std::int32_t countTarget = 0;
    std::int32_t countedPoints = 0;
    int oldRank = 0, newRank = 0, displayRank = 0;
    bool rankReached = false, rankStepPending = false, fanfarePending = false, unlocksShown = false;
    float iconScale = 1.0f, insigniaScale = 1.0f, unlockScale = 0.0f;
    int unlockIndex = 0;
    std::vector<int> unlockedPlanes;
    bool medalMode = false;
    int medalOf = 0;   // the game's medal, 0 none, 1..3
    // Set from the start: back leaves the very first result page too; a
    // second press before the page hides does nothing.
    bool resultEscapeArmed = true;
    GameType shownType = GameType::FreeForAll;
    bool shownNetwork = false, shownOnline = false;
    // The network lines under the rows: "Map: ..." and "Server: ...".
    std::u16string mapLine, serverLine;
    int shownCampaign = -1;

    MenuPanel* pointsPanel = nullptr;
    MenuPanel* rankPanel = nullptr;
    MenuPanel* insigniaPanel = nullptr;
    MenuPanel* bottomStrip = nullptr;
    SpriteLabel* promptLabel = nullptr;

private:
    void book(const GameResultInput& input);
    void startCount();
    void updateCount();
    void endSegment();
    void updateRankStep();
    void updatePromotion();
    void enterFinal();
    void drawRankBar();
    void drawPromotion();
    // The planes a result unlocked, with or without a new rank.
    void drawUnlocks();
    std::int32_t rankHigh(int rank, std::int32_t overTop) const;
    void placePanels();
    // The highest the panels may start: clear of the title plate.
    int panelsTop() const;
    // The room between the insignia panel ending at `insigniaBottom` and the rank panel.
    int rankGap(int insigniaBottom) const;
};
