#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <array>

class MenuPanel;
class SpriteCheckbox;

// Two rules a created room carries: which weapons its mode allows and which
// aircraft its players may fly. Each group of boxes works as a radio group;
// readFilters turns the checked boxes into the codes the room is made with.
class MPOnlineFiltersMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 390, kBackString = 740;
    static constexpr int kWeaponsCaption = 392, kAircraftCaption = 396;
    static constexpr int kFrameOn = 143, kFrameOff = 141;
    // Box order: the mode group (393, 394, 395), then the plane group (397-400).
    enum Box { MissilesOnly, GunsOnly, AllWeapons, MyPlane, MyTier, NoTier3, AnyPlane, BoxCount };

    MPOnlineFiltersMenuFrame();

    void onShow() override;

    // The codes from the boxes, with the plane the player flies now.
    void readFilters();
    // A box clicked: alone checked within its group.
    void choose(int box);

    std::array<SpriteCheckbox*, BoxCount> boxes{};
    MenuPanel* panel = nullptr;
    MenuPanel* topBar = nullptr;
    MenuPanel* bottomBar = nullptr;
    int planeFilterKind = 0;
    int planeFilterValue = 0;
    int modeFilter = 0;
};
