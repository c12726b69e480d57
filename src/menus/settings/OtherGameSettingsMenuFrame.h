#pragma once
#include "ui/widgets/SceneMenuFrame.h"

class MenuPanel;
class SpriteCheckbox;

// The flight screen's marker details on or off. The box shows the stored
// flag on every show and stores it back, saving, whenever the page is left.
class OtherGameSettingsMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 401, kBackString = 40, kMarkerDetailsString = 403;
    static constexpr int kFrameOn = 143, kFrameOff = 141;

    OtherGameSettingsMenuFrame();

    void onShow() override;
    void onHide() override;

    MenuPanel* panel = nullptr;
    SpriteCheckbox* markerDetailsBox = nullptr;
};
