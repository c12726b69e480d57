#pragma once

class RenderBuffer;
class Texture2D;

// The player's canopy glass as one square texture: the clean canopy image of
// the airplane plus the bullet holes and dust marks of the hits since the last
// clean. Damage is painted into the target as it comes and stays there.
class ScreenDamage {
public:
    static constexpr int kMaxBulletHoles = 8;   // painted per render; the rest is dropped
    static constexpr int kMaxDustHoles = 5;

    // What one render did (tests and the log read it).
    struct Painted {
        bool touched = false;   // the target was bound at all
        bool cleaned = false;   // the clean canopy was copied first
        int bulletHoles = 0;
        int dustHoles = 0;
    };

    // The target: 1024 square from quality tier 2, else 512. False when the
    // device cannot make it (the glass then stays clean).
    static bool createRenderTarget();
    // The scene asks for the glass: the target is made only when first painted
    // with damage or drawn (a cockpit view), as most flights never need it.
    // A target that cannot be made is not tried again until release.
    static void useLazyTarget();
    static void releaseRenderTarget();
    // A gun hit: three holes and a bullet-hole splat.
    static void addHit();
    // A missile exploding on the player's airplane: two dust marks.
    static void addDust(int count = 2);
    // Game start, respawn, airplane change: the next render copies this
    // texture over everything; the waiting holes are dropped.
    static void clean(const Texture2D* canopy);
    // Paints the waiting work; nothing without any.
    static Painted render();

    static int bulletHoles();
    static int dustHoles();
    static RenderBuffer* target();
    // The glass the cockpit draws: the target's texture, null without one.
    static Texture2D* texture();
    // The clean canopy goes into the glass at this share of its colour and
    // cover, ready to be laid over the world premultiplied: a light tint and
    // glint, while the bright cracks painted later stand out whole and the
    // holes show the world bare.
    static constexpr float kCleanGlassShare = 0.2f;
    // Draws the glass over the whole current target (premultiplied); false,
    // with nothing drawn, without a target or at no opacity.
    static bool drawGlass(float opacity = 1.0f);
};
