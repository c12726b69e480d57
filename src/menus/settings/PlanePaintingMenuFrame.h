#pragma once
#include "platform/Settings.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <array>
#include <cstdint>

class SpriteButton;
class SpriteSlider;
class VerticalSlider;

// The two paint colours of the plane the player flies, each as hue, value and
// saturation on three sliders, shown at once on the menu plane. What changed
// is stored in the plane's paint row when the page is left.
class PlanePaintingMenuFrame : public SceneMenuFrame {
public:
    static constexpr int kBackString = 9, kTitleString = 70, kResetString = 1663, kRevertString = 186,
                         kFirstColourString = 355, kSecondColourString = 354;
    static constexpr int kResetFrame = 62, kRevertFrame = 64, kSlotFrame = 68;
    static constexpr int kValueTrackFrame = 191, kValueThumbFrame = 192, kSaturationTrackFrame = 194,
                         kSaturationThumbFrame = 195;
    static constexpr int kLockedModule = 99, kPhotoSet = 20, kPaintCameraMode = 4;
    static constexpr int kNewColoursEvent = 69;
    // A slider moved less than this much changes nothing.
    static constexpr float kChangeThreshold = 0.01f;

    // {hue in degrees, saturation, value}
    using Colour = std::array<float, 3>;

    PlanePaintingMenuFrame();

    void draw() override;
    // Where the photo of the painted plane (the photo set's one frame) is
    // drawn; all 0 when the screen leaves it no room.
    struct PhotoPlace {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    };
    PhotoPlace photoPlace() const;
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool onScroll(float dx, float dy) override;
    void onShow() override;
    // One plane is shown: the page keys do not move on to another.
    void scrollRight() override {}
    void scrollLeft() override {}
    void scrollUp() override {}
    void scrollDown() override {}
    void onHide() override;

    void resetToDefaults();
    void revertColours();
    void toggleColourSlot();
    // The sliders where the current colour puts them; their positions become the cache.
    void updateSliders();

    // The plane painted since the page was shown: its colours are stored in
    // this plane's paint row only, whatever else changes the player's plane.
    int plane() const { return m_plane; }

    SpriteSlider* hueSlider = nullptr;
    VerticalSlider* valueSlider = nullptr;
    VerticalSlider* saturationSlider = nullptr;
    SpriteButton* resetButton = nullptr;
    int colourSlot = 0;
    std::array<Colour, 2> colours{};
    bool cameraDrag = false;
    float lastTouchX = 0.0f, lastTouchY = 0.0f;
    std::uint8_t changedMask = 0;
    std::array<float, 3> sliderCache{};   // hue, value, saturation positions
    SpriteButton* revertButton = nullptr;
    SpriteButton* slotButton = nullptr;

private:
    void drawPhoto();
    int m_plane = -1;
    void hideBrowsing();
    void loadColours(const PlanePaint& paint);
    PlanePaint storedPaint() const;
    void placeSliders();
    void copyToPreview() const;
    bool sliderDragged() const;
    void drawGradient(const VerticalSlider& slider, int trackFrame, const Colour& top, const Colour& bottom) const;
};

// The paint row as two colours and back.
PlanePaintingMenuFrame::Colour paintColour(const PlanePaint& paint, int slot);
void setPaintColour(PlanePaint& paint, int slot, const PlanePaintingMenuFrame::Colour& colour);
