#pragma once
#include "ui/widgets/SpriteButton.h"

// One tutorial of the list: its thumbnail, its name and, once done, a mark.
class TutorialEntry : public SpriteButton {
public:
    static constexpr int kThumbSet = 14;
    static constexpr int kFirstNameString = 189;
    static constexpr int kDoneFrame = 128, kNamePlateFrame = 134;

    explicit TutorialEntry(int tutorialIndex);

    void draw() override;
    // Starts only a tap: a drag of the row that ends on an entry starts nothing.
    bool onTouchUp(int x, int y) override;
    void activate() override;

    int thumbSet = kThumbSet;
    int tutorialIndex = 0;
};
