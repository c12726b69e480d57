#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <string>

// The credits: 134 centred lines that rise by themselves, can be dragged by
// touch and start again from the bottom once the last one has left the top.
class CreditsMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 20, kBackString = 40;
    static constexpr int kFirstLine = 1030, kLineCount = 134, kVersionLine = 2;
    static constexpr const char* kVersion = "1.5.0";
    static constexpr float kSpeed = 20.0f;   // pixels per second

    CreditsMenuFrame();

    void draw() override;
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    void onShow() override;
    void onHide() override;

    // Line i as shown; a leading '#' marks a heading and is dropped.
    static std::u16string lineText(int i, bool* heading = nullptr);

    float scrollY = 0.0f;
    int dragDelta = 0;
    bool autoScroll = true;
    int lastTouchY = 0;
    int bandX = 0, bandY = 0, bandWidth = 0, bandHeight = 0;
    int linePitch = 1;
};
