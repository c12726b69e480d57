#pragma once
#include "platform/Math.h"

#include <functional>

class RenderBuffer;

// The quality-tier-3 picture path: the scene draws into its own target, the
// sun-shaft pass reads it, and the final combine puts scene and shafts on the
// screen (or whatever target is current). Below tier 3 nothing is made and the
// scene draws straight to the screen.
class PostProcess {
public:
    // At tier 3 makes the scene target (screen size, color, depth) and the
    // half-size shaft target, and makes the scene target the device's second
    // scene target. False, with nothing made, when a target cannot be made;
    // below tier 3 true with nothing made.
    [[nodiscard]] static bool createTargets();
    static void destroyTargets();
    // Null below tier 3.
    static RenderBuffer* sceneTarget();

    // Where the sun lies on the picture for a camera, from the light record's
    // direction: position 0..1 across the picture, and a strength that fades
    // to 0 as the sun leaves the view, goes behind the camera or sets.
    static void updateSunParams(const Mat4& view, const Mat4& projection);
    static Vec2 sunPosition();
    static float sunStrength();

    // The sun-shaft pass from the scene target into the shaft target; no
    // shafts without the targets or a visible sun.
    static void render();
    // Draws the scene target's picture plus the shafts over the whole current
    // target, opaque; nothing without the scene target.
    static void finalCombine();
};

// Resolves the multisampled scene target into the scene target; nothing
// unless both exist (this renderer makes no multisampled target).
void blitToScreen();

// Fills the distortion target: cleared to "no offset", then drawDistortion
// (the distortion draws of models and effects) runs with it bound; the
// previous target, matrices and render state come back afterwards. Nothing
// when the target does not exist, which is always so here: heat distortion is off.
void renderHeatDistortion(const std::function<void()>& drawDistortion);
// Redraws the scene target's picture displaced by the distortion target over
// the current target; nothing without both targets or while the scene target
// itself is bound.
void applyHeatDistortion();
