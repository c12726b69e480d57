#pragma once
#include "ui/MenuHooks.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteEditBox.h"

#include <string>
#include <string_view>

class SpriteButton;

// The pilot's profile over the menu scene: name, rank name and insignia and
// the points of both kinds of game, with the ways to rename the pilot through
// the on-screen keyboard, to the achievements and to plane painting.
class ProfileMenuFrame : public SceneMenuFrame, public IKeyboardListener {
public:
    static constexpr int kBackString = 883, kTitleString = 133, kAchievementsString = 4, kNameString = 357,
                         kPaintingString = 70, kPointsString = 1170, kFirstRankString = 138;
    static constexpr int kAchievementsFrame = 87, kNameFrame = 89, kPaintingFrame = 66;
    static constexpr int kRankSet = 17, kFirstInsignia = 21, kLastInsignia = 38;
    static constexpr int kPlaceholderFrames[2] = {23, 21};
    static constexpr std::size_t kMaxNameUnits = 19;
    static constexpr std::size_t kMaxLabelUnits = 63;

    ProfileMenuFrame();

    void onShow() override;
    // One plane is shown: the page keys do not move on to another.
    void scrollRight() override {}
    void scrollLeft() override {}
    void scrollUp() override {}
    void scrollDown() override {}
    // IKeyboardListener
    void onTextAccepted(std::u16string_view text) override { onTextEntered(text); }
    void onTextCancelled(std::u16string_view startText) override;

    void onTextEntered(std::u16string_view text);
    void onEditName();
    void openAchievements();
    void openPlanePainting();

    int languageIndex = -1;
    SpriteButton* paintingButton = nullptr;
    SpriteButton* nameLabel = nullptr;
    SpriteButton* rankLabel = nullptr;
    SpriteButton* insignia = nullptr;
    SpriteButton* pointsLabel = nullptr;
    SpriteButton* nameButton = nullptr;
    SpriteButton* achievementsButton = nullptr;
    // Hidden and disabled: they only shape the top-right strip.
    SpriteButton* placeholders[2] = {nullptr, nullptr};

private:
    void showName();
    // The name, rank and points stand at the foot of the page left of the
    // bar's buttons; where the plane's statistics panel reaches down to them
    // (small screens) they move beside it, and they stay above the bar.
    void placeTexts();
};

// The insignia frame of a rank: 21 + rank, never past the last one.
int rankInsigniaFrame(int rank);
