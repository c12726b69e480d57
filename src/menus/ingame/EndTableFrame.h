#pragma once
#include "modes/GameType.h"
#include "modes/progress/ScoreMgr.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <vector>

class GameMode;
struct MatchReport;
class MenuPanel;
class ResizableButton;
class ResizableLabel;
class ScoreEntry;
class SpriteLabel;

// What the individual and the team score tables share: the pause menu, the
// end-of-match table and the score peek over the HUD in one page. The top
// panel holds the title, the headline once the match is over, the time left
// and the server; the bottom row the continue, controls, audio and
// resume-or-leave buttons and the restart countdown.
class EndTableFrame : public FilledMenuFrame, public IScoreMgrListener {
public:
    static constexpr int kBannerFrame = 95, kTimeFrame = 244, kHeaderFrame = 183, kScrollThumbFrame = 181;
    static constexpr int kButtonLeft = 158, kButtonMiddle = 156, kButtonRight = 157, kButtonFont = 2;
    static constexpr int kContinueText = 24, kControlsText = 19, kAudioText = 8, kResumeText = 129, kLeaveText = 128,
                         kBackText = 9;
    static constexpr int kWonText = 72, kSurvivalOverText = 73, kLostText = 74, kDrawText = 851;
    static constexpr int kCountdownText = 127, kTimeLeftText = 1025, kWaveText = 101, kServerText = 885;
    static constexpr int kScoreHeading = 1180, kDeathsHeading = 1181, kPlaneHeading = 1182;

    EndTableFrame();
    ~EndTableFrame() override;

    // IScoreMgrListener: the table changed.
    void onScoreChanged() override { rebuildTable(); }
    virtual void rebuildTable() = 0;

    void onResumeOrLeave();
    void onContinue();
    virtual void showHeadline() = 0;
    // The string of the page's title, which names it on the back button of
    // the pages it opens.
    virtual int titleString() const = 0;

    // The running match's mode (null between games) and whether it is over.
    static GameMode* mode();
    static bool matchOver();
    static GameType gameType();
    // The running match as it reports itself (a default report between
    // games); refilled by every call.
    static const MatchReport& report();
    // "%d:%02d" of the seconds left; empty without a time limit.
    static std::u16string timeLeftText(float limit, float elapsed);
    // Every row the tables hold now.
    std::vector<ScoreEntry*> rows() const;

    MenuPanel* topPanel = nullptr;
    MenuPanel* banner = nullptr;
    SpriteLabel* headlineLabel = nullptr;
    ResizableLabel* timeLabel = nullptr;
    SpriteLabel* serverLabel = nullptr;
    MenuPanel* buttonRow = nullptr;
    ResizableButton* continueButton = nullptr;
    ResizableButton* controlsButton = nullptr;
    ResizableButton* audioButton = nullptr;
    ResizableButton* resumeButton = nullptr;
    SpriteLabel* statusLabel = nullptr;
    bool listening = false;

protected:
    ResizableButton* addButton(int textId);
    SpriteLabel* addTopLabel(int font, float centreX, float centreY);
    // The visible buttons and the status label spread over the bottom row.
    void spreadButtons(bool withOuterMargin);
    void resetTimeLabel();
    // "Server : name" of a network match; shown only with a name, and in
    // single player only when singlePlayerToo.
    void updateServerLabel(bool singlePlayerToo);
    void updateTimeLabel();
    // The restart countdown under the buttons after a match.
    void updateStatus();
    void applyPeekState(bool touchTitle);
    void startListening();
    void stopListening();
    // A scrollable table panel of the given width from top down to the button row.
    MenuPanel* makeTable(int widthPixels, int top);
    void addHeading(int textId, std::vector<SpriteLabel*>& into);
    // Centres the score, deaths and plane headings (and the bases or flags
    // heading when given) over the columns of the table's rows, in the header
    // strip; all shrink alike so that none touches the next, and where that
    // would make them too small they stand in two staggered rows.
    static void placeHeadings(const MenuPanel& table, float stripTop, float stripHeight, bool teamLayout,
                              GameType type, bool muteStrip, SpriteLabel* score, SpriteLabel* deaths,
                              SpriteLabel* plane, SpriteLabel* extra);
    // Appends the row under the table's last one, as wide as the table.
    // Rows of a full table shrink to fit it, down to this share of their height.
    static constexpr int kSmallestRowPercent = 60;
    static void appendRow(MenuPanel& table, ScoreEntry* row);
    int lineHeight() const { return m_lineHeight; }
    // The bottom edge of the header strips: a line below the top panel, and
    // clear of the time box.
    int stripBottom(int stripHeight) const;

    int m_lineHeight = 20;
    std::vector<MenuPanel*> m_tables;
};
