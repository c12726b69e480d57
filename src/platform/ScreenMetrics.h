#pragma once

// The drawable size in pixels and the scales derived from it. Menu layout, the
// HUD and sprite loading read these; they are rewritten when the window size
// changes.
struct ScreenMetrics {
    int screenWidth = 960;        // drawable pixels
    int screenHeight = 640;
    int halfWidth = 480;          // integer halves
    int halfHeight = 320;
    float screenScaleX = 1.0f;    // screenWidth / 960: horizontal HUD and UI scale
    float screenScaleY = 1.0f;    // screenHeight / 640: vertical HUD and UI scale
    float uiScale = 1.0f;         // 0.5, 0.75, 1.0 or 2.0 by the screen height, less where the width is short
    float spriteScale = 2.0f;     // 1.0, 1.5, 2.0 or 4.0 at the same steps: picks sheet variants
    float aspect = 1.5f;          // width / height, for the projections
};

// The metrics of a drawable of that size; both dimensions must be positive.
ScreenMetrics computeScreenMetrics(int width, int height);

const ScreenMetrics& screenMetrics();
// False, with the metrics left as they were, when either dimension is not
// positive: a minimised window reports 0 x 0 and no scale may become 0.
bool setScreenSize(int width, int height);
