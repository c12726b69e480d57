#pragma once

class Airplane;

// The flight behind the menus as the menu screen commands it: the airplane
// the pages show off and the paint it is previewed in.
class IMenuFlight {
public:
    // The menu flight's fixed sun.
    static constexpr float kSun = 0.8f;

    virtual ~IMenuFlight() = default;
    // Swaps the shown airplane for one of the plane id in the player's paint,
    // flying on from where the old one was; the airplane shown (null: none).
    virtual Airplane* showPlane(int planeId) = 0;
    // The shown airplane's model is drawn with the preview colours, starting
    // from the player's stored paint of the plane; the painting page edits them.
    virtual void previewShownPaint() = 0;
};
