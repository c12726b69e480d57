#pragma once
#include "platform/Math.h"
#include "render/Texture2D.h"

#include <memory>
#include <vector>

class CSprite;
struct MapInfoCfg;
struct SpriteSheet;

// The animated map of a campaign mission on the briefing page: a cut-out of
// the mission's terrain picture over which planes fly along paths, arrows
// grow and targets and nation badges appear, step by step. The whole
// animation is the sheet "data/sprites/c<campaign>m<mission>": module 0 is
// the cut-out in 1/2048 of the picture's width, animation 0 the steps, and
// the module numbers its frames place are element codes. Not a menu item:
// the briefing page owns it and calls draw and update.
class BriefingMapMenu {
public:
    static constexpr int kIconSet = 2;
    static constexpr int kPlaneFrame = 158, kBadgeFrame = 163, kArrowFrame = 165;
    static constexpr float kFlagScale = 0.7f;

    // What an element draws with.
    struct DrawContext {
        CSprite* icons = nullptr;
        int sideFlag = 0;
    };

    class ElemBase {
    public:
        ElemBase(float px, float py, int code) : x(px), y(py), kind(code) {}
        virtual ~ElemBase() = default;
        virtual void draw(const DrawContext& context) const = 0;
        // Local time in updates since the step began, the step's duration.
        virtual void update(int time, int duration) = 0;
        float x, y;
        int kind;
    };
    class ElemPlane : public ElemBase {
    public:
        using ElemBase::ElemBase;
        void draw(const DrawContext& context) const override;
        void update(int time, int duration) override;
        float heading = 0.0f;
        std::vector<Vec2> path;
    };
    class ElemArrow : public ElemBase {
    public:
        using ElemBase::ElemBase;
        void draw(const DrawContext& context) const override;
        // (-1, -1) gives the whole arrow.
        void update(int time, int duration) override;
        Vec2 start, end;
        int endKind = 10;
        float heading = 0.0f;
        int length = 0;
        float frameHeight = 1.0f;
        float progress = 0.0f;
    };
    class ElemTarget : public ElemBase {
    public:
        using ElemBase::ElemBase;
        void draw(const DrawContext& context) const override;
        void update(int, int) override {}
        float iconScale = 1.0f;
    };
    class ElemSubs : public ElemBase {
    public:
        using ElemBase::ElemBase;
        void draw(const DrawContext& context) const override;
        void update(int, int) override {}
    };

    struct Step {
        std::vector<std::unique_ptr<ElemBase>> elems;
        int duration = 0;   // updates
        int keepFrom = 0;   // the first step whose elements stay drawn while this one plays
    };
    struct StepList {
        float t = 0.0f;
        std::vector<Step> steps;
        int sideFlag = 0;
        // The step playing at t: the first whose end lies beyond t, else the last; -1 with no steps.
        int currentStep() const;
        // Start (sum of the durations before it) and end of step i.
        int startOf(int i) const;
        int endOf(int i) const;
        // One update: the clock moves on and the playing step's elements
        // take their local time. Past the last step nothing moves.
        void advance();
        // The steps drawn at the clock, in drawing order: step 0, then from
        // the playing step's keep-from index up to the playing step.
        std::vector<int> visibleSteps() const;
    };
    // A rectangle with its texture coordinates and colour.
    struct Rect {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
        Color4 color;
    };

    // Flag frames of set 2 by nation code, plane and badge kinds by code.
    static int flagFrameOfCode(const char* code);
    static int flagFrameOfKind(int kind);
    // Blue or red for a plane kind under the side flag; white for others.
    static Color4 planeColor(int kind, int sideFlag);

    BriefingMapMenu() = default;
    virtual ~BriefingMapMenu();
    BriefingMapMenu(const BriefingMapMenu&) = delete;
    BriefingMapMenu& operator=(const BriefingMapMenu&) = delete;

    // Campaign and mission counted from 0; the rectangle on screen. False,
    // and nothing is drawn, when the slot holds no mission, its sheet is not
    // in the sprite table or lacks the cut-out, or the picture does not load.
    virtual bool setup(int campaign, int mission, int x, int y, int w, int h);
    // The same for a record and a sheet already in hand (tests).
    bool setupWith(const MapInfoCfg& record, CSprite& sheet, int x, int y, int w, int h);
    virtual void draw();
    virtual void update();

    // The element codes of the sheet's animation 0 read into steps, mapped
    // onto the screen from the origin by the map scale. Never fails: parts it
    // cannot use place nothing.
    static StepList buildSteps(const SpriteSheet& sheet, float sheetScale, float originX, float originY,
                               float mapScale, float arrowFrameHeight);
    // The terrain picture of a "watermap" value.
    static std::string terrainPictureName(const std::string& watermap);

    bool ready() const { return static_cast<bool>(m_terrain); }
    const StepList& steps() const { return m_steps; }
    StepList& steps() { return m_steps; }
    const Rect& source() const { return m_source; }
    const Rect& destination() const { return m_destination; }
    float mapScale() const { return m_mapScale; }
    int sheetSet() const { return m_sheetSet; }

private:
    void drawSteps();

    TextureRef m_terrain;
    CSprite* m_icons = nullptr;
    int m_sheetSet = -1;
    float m_mapScale = 1.0f;
    Rect m_source, m_destination;
    StepList m_steps;
};
