#pragma once
#include "ui/widgets/SpriteButton.h"

// One tutorial of the list: its thumbnail, its name and, once done, a mark.
class TutorialEntry : public SpriteButton {
public:
    static constexpr int kThumbSet = 14;
    static constexpr int kFirstNameString = 189;
    static constexpr int kDoneFrame = 128, kNamePlateFrame = 134;
    // The dark strip across each picture, in the sheet's art pixels.
    static constexpr float kArtHeight = 360.0f, kStripLeft = 3.0f, kStripTop = 244.0f, kStripHeight = 78.0f;

    explicit TutorialEntry(int tutorialIndex);

    void draw() override;
    // Starts on the release unless the row moved under the finger; clicks
    // only when the finger comes up on the entry.
    bool onTouchUp(int x, int y) override;
    void activate() override;

    int thumbSet = kThumbSet;
    int tutorialIndex = 0;
};
