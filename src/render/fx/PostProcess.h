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
    // scene target; also, when it can, the heat-distortion target and the
    // picture copy it bends. False, with nothing made, when the scene or shaft
    // target cannot be made; below tier 3 true with nothing made.
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

    // The software renderer's cost follows the pixels it fills, so at tier 0
    // the 3-D scene is drawn at this fraction of the screen's width and
    // height and stretched over it; the 2-D layers above stay sharp.
    static float reducedSceneScale(int tier);
    // Binds the reduced scene target, sized from the bound target (or the
    // screen) times the tier's scale. False, with nothing bound, at full size
    // or when the target cannot be made.
    [[nodiscard]] static bool beginReducedScene();
    // Stretches the reduced picture over `shown` (null: the screen) and
    // leaves that bound.
    static void endReducedScene(RenderBuffer* shown);
};

// Resolves the multisampled scene target into the scene target; nothing
// unless both exist (this renderer makes no multisampled target).
void blitToScreen();

// Fills the distortion target: cleared to "no offset", then drawDistortion
// (the distortion draws of models and effects) runs with it bound; the
// previous target, matrices and render state come back afterwards. Nothing
// when the target does not exist (below the top tier).
void renderHeatDistortion(const std::function<void()>& drawDistortion);
// The distortion draws report themselves here; a frame in which nothing hot
// was drawn skips the apply pass and its copy of the picture.
void noteDistortionDrawn();
int distortionDrawsThisFrame();
// Redraws the bound target's picture (through a copy) displaced by the
// distortion target; only the pixels with an offset change. Nothing without
// the target or when nothing hot was drawn into it this frame.
void applyHeatDistortion();
