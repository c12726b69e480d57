#include "menus/frontend/BriefingMapMenu.h"

#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "render/Graphics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/TextureCache.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr float kHalfPi = 1.57079633f;
constexpr Color4 kBlue{0, 0, 139, 255};
constexpr Color4 kRed{139, 0, 0, 255};
constexpr Color4 kPureRed{255, 0, 0, 255};
constexpr Color4 kWhite{255, 255, 255, 255};

struct Nation {
    const char* code;
    int flagFrame;
    int planeKind;   // -1 none
    int badgeKind;
};
constexpr std::array<Nation, 8> kNations = {{
    {"EN", 124, 3, 37},
    {"US", 125, 2, 36},
    {"JP", 126, 6, 40},
    {"DE", 127, 4, 38},
    {"RU", 128, 5, 39},
    {"BLUE", 129, -1, -1},
    {"RED", 130, -1, -1},
    {"AU", 131, 7, 41},
}};

// The frame drawn with its bounding box centred on (x, y).
void drawCentred(CSprite& sprite, int frame, float x, float y, float scale)
{
    sprite.setScale(scale, scale);
    const CSprite::Rect r = sprite.frameRect(frame);
    sprite.drawFrame(frame, x - r.x - r.w / 2.0f, y - r.y - r.h / 2.0f);
    sprite.setScale(1.0f, 1.0f);
}

void drawFlag(CSprite& sprite, int kind, float x, float y)
{
    drawCentred(sprite, BriefingMapMenu::flagFrameOfKind(kind), x, y, BriefingMapMenu::kFlagScale);
}

// Sides: kinds 2, 3, 5 and 7 fly with the side of flag 0, 4 and 6 with the other.
bool firstSide(int kind)
{
    return kind == 2 || kind == 3 || kind == 5 || kind == 7;
}
}  // namespace

int BriefingMapMenu::flagFrameOfCode(const char* code)
{
    if (!code)
        return 0;
    for (const Nation& n : kNations)
        if (std::strcmp(n.code, code) == 0)
            return n.flagFrame;
    return 0;
}

int BriefingMapMenu::flagFrameOfKind(int kind)
{
    for (const Nation& n : kNations)
        if (n.planeKind == kind || n.badgeKind == kind)
            return n.flagFrame;
    return 0;
}

Color4 BriefingMapMenu::planeColor(int kind, int sideFlag)
{
    if (firstSide(kind))
        return sideFlag == 0 ? kBlue : kRed;
    if (kind == 4 || kind == 6)
        return sideFlag == 1 ? kBlue : kRed;
    return kWhite;
}

// Elements.

void BriefingMapMenu::ElemPlane::draw(const DrawContext& context) const
{
    if (!context.icons)
        return;
    CSprite& icons = *context.icons;
    icons.setColor(planeColor(kind, context.sideFlag));
    icons.drawFrame(kPlaneFrame, x, y, heading);
    icons.setColor(kWhite);
    drawFlag(icons, kind, x, y);
}

void BriefingMapMenu::ElemPlane::update(int time, int duration)
{
    const int n = static_cast<int>(path.size());
    if (n < 1 || duration <= 0)
        return;
    const int i = std::clamp(static_cast<int>(static_cast<long long>(time) * n / duration), 0, n - 1);
    const Vec2 p = path[static_cast<std::size_t>(i)];
    const Vec2 q = path[static_cast<std::size_t>(i == n - 1 ? 0 : i + 1)];
    x = p.x;
    y = p.y;
    // The last point looks back at the first: a path that ends where it began keeps its heading.
    if (p.x != q.x || p.y != q.y)
        heading = std::atan2(p.y - q.y, p.x - q.x) - kHalfPi;
}

void BriefingMapMenu::ElemArrow::draw(const DrawContext& context) const
{
    if (!context.icons || progress <= 0.0f)
        return;
    CSprite& icons = *context.icons;
    icons.setColor(endKind == 9 ? kRed : kBlue);
    icons.setScale(1.0f, progress);
    icons.drawFrame(kArrowFrame, start.x, start.y, heading);
    icons.setScale(1.0f, 1.0f);
    icons.setColor(kWhite);
}

void BriefingMapMenu::ElemArrow::update(int time, int duration)
{
    const float whole = frameHeight > 0.0f ? static_cast<float>(length) / frameHeight : 0.0f;
    if ((time == -1 && duration == -1) || duration <= 0) {
        progress = whole;
        return;
    }
    progress = std::min(static_cast<float>(time) / static_cast<float>(duration), 1.0f) * whole;
}

void BriefingMapMenu::ElemTarget::draw(const DrawContext& context) const
{
    if (!context.icons)
        return;
    CSprite& icons = *context.icons;
    const bool side0 = context.sideFlag == 0;
    int frame = -1;
    Color4 color = kWhite;
    float scale = 1.0f;
    switch (kind) {
    case 25: frame = 160, color = kPureRed; break;
    case 26: frame = 159, color = kPureRed; break;
    case 27: frame = 167, scale = iconScale; break;
    case 28: frame = 168, scale = iconScale; break;
    case 29: frame = 166, scale = iconScale; break;
    case 30: frame = 161, color = side0 ? kBlue : kRed; break;
    case 31: frame = 162, color = side0 ? kBlue : kRed; break;
    case 32: frame = 164, color = side0 ? kRed : kBlue; break;
    case 33: frame = 169, scale = iconScale >= 1.0f ? iconScale : 2.0f * iconScale; break;
    case 34: frame = 161, color = side0 ? kRed : kBlue; break;
    case 35: frame = 162, color = side0 ? kRed : kBlue; break;
    default: return;
    }
    icons.setColor(color);
    drawCentred(icons, frame, x, y, scale);
    icons.setColor(kWhite);
}

void BriefingMapMenu::ElemSubs::draw(const DrawContext& context) const
{
    if (!context.icons)
        return;
    CSprite& icons = *context.icons;
    icons.setColor(context.sideFlag == 1 ? kBlue : kRed);
    drawCentred(icons, kBadgeFrame, x, y, 1.0f);
    icons.setColor(kWhite);
    drawFlag(icons, kind, x, y);
}

// Steps.

int BriefingMapMenu::StepList::startOf(int i) const
{
    int start = 0;
    for (int k = 0; k < i && k < static_cast<int>(steps.size()); ++k)
        start += steps[static_cast<std::size_t>(k)].duration;
    return start;
}

int BriefingMapMenu::StepList::endOf(int i) const
{
    if (i < 0 || i >= static_cast<int>(steps.size()))
        return startOf(i);
    return startOf(i) + steps[static_cast<std::size_t>(i)].duration;
}

int BriefingMapMenu::StepList::currentStep() const
{
    int end = 0;
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        end += steps[static_cast<std::size_t>(i)].duration;
        if (static_cast<float>(end) > t)
            return i;
    }
    return static_cast<int>(steps.size()) - 1;
}

void BriefingMapMenu::StepList::advance()
{
    t += 1.0f;
    int start = 0;
    for (Step& step : steps) {
        const int end = start + step.duration;
        if (static_cast<float>(end) > t) {
            const int local = static_cast<int>(t - static_cast<float>(start));
            for (auto& elem : step.elems)
                elem->update(local, step.duration);
            return;
        }
        start = end;
    }
}

std::vector<int> BriefingMapMenu::StepList::visibleSteps() const
{
    std::vector<int> shown;
    const int count = static_cast<int>(steps.size());
    if (count == 0)
        return shown;
    const int keepFrom = steps[static_cast<std::size_t>(currentStep())].keepFrom;
    // Step 0 always shows; each step is drawn once, so past the end the last
    // step stays on the map as it was.
    shown.push_back(0);
    int end = 0;
    for (int i = 0; i < count; ++i) {
        end += steps[static_cast<std::size_t>(i)].duration;
        if (i > 0 && i >= keepFrom)
            shown.push_back(i);
        if (static_cast<float>(end) > t)
            break;
    }
    return shown;
}

BriefingMapMenu::StepList BriefingMapMenu::buildSteps(const SpriteSheet& sheet, float sheetScale, float originX,
                                                      float originY, float mapScale, float arrowFrameHeight)
{
    StepList list;
    if (sheet.anims.empty())
        return list;
    const SpriteSheet::Anim& anim = sheet.anims[0];
    // The sheet reader checked every range; the bounds are tested again so a
    // sheet made in memory cannot reach past its tables either.
    struct Point {
        float x = 0.0f, y = 0.0f;
        int module = -1;
    };
    for (int i = 0; i < anim.count; ++i) {
        const std::size_t af = static_cast<std::size_t>(anim.firstAnimFrame) + static_cast<std::size_t>(i);
        if (af >= sheet.animFrames.size())
            break;
        Step step;
        step.duration = sheet.animFrames[af].duration;
        const std::size_t frameIndex = sheet.animFrames[af].frame;
        std::vector<Point> parts;
        if (frameIndex < sheet.frames.size()) {
            const SpriteSheet::Frame& frame = sheet.frames[frameIndex];
            for (int p = 0; p < frame.partCount; ++p) {
                const std::size_t pi = static_cast<std::size_t>(frame.firstPart) + static_cast<std::size_t>(p);
                if (pi >= sheet.parts.size())
                    break;
                const SpriteSheet::Part& part = sheet.parts[pi];
                Point point;
                point.module = part.module;
                float w = 0.0f, h = 0.0f;
                if (part.module < sheet.modules.size()) {
                    w = sheet.modules[part.module].w;
                    h = sheet.modules[part.module].h;
                }
                point.x = std::trunc(part.x * sheetScale) + std::trunc(w * sheetScale) / 2.0f;
                point.y = std::trunc(part.y * sheetScale) + std::trunc(h * sheetScale) / 2.0f;
                parts.push_back(point);
            }
        }
        auto mapped = [&](const Point& p) { return Vec2{originX + mapScale * p.x, originY + mapScale * p.y}; };
        ElemPlane* currentPlane = nullptr;
        for (std::size_t k = 0; k < parts.size(); ++k) {
            const Point& part = parts[k];
            const Point* next = k + 1 < parts.size() ? &parts[k + 1] : nullptr;
            const int m = part.module;
            const Vec2 at = mapped(part);
            if (m == 1) {
                // The plane stands on the nation code that follows; this point is where it looks.
                int kind = 0;
                Vec2 position = at;
                float heading = 0.0f;
                if (next && next->module >= 2 && next->module <= 7) {
                    kind = next->module;
                    position = mapped(*next);
                    heading = std::atan2(next->y - part.y, next->x - part.x) - kHalfPi;
                }
                auto plane = std::make_unique<ElemPlane>(position.x, position.y, kind);
                plane->heading = heading;
                currentPlane = plane.get();
                step.elems.push_back(std::move(plane));
            } else if (m == 8) {
                // Without its end code the arrow has no length and draws nothing.
                auto arrow = std::make_unique<ElemArrow>(at.x, at.y, 8);
                arrow->start = at;
                arrow->end = at;
                if (next && (next->module == 9 || next->module == 10)) {
                    arrow->endKind = next->module;
                    arrow->end = mapped(*next);
                }
                const float dx = arrow->end.x - arrow->start.x, dy = arrow->end.y - arrow->start.y;
                arrow->length = static_cast<int>(std::sqrt(dx * dx + dy * dy));
                arrow->heading = std::atan2(arrow->start.y - arrow->end.y, arrow->start.x - arrow->end.x) - kHalfPi;
                arrow->frameHeight = arrowFrameHeight;
                step.elems.push_back(std::move(arrow));
            } else if (m >= 11 && m <= 13) {
                // A path point before any plane of its step has nothing to join.
                if (currentPlane)
                    currentPlane->path.push_back(at);
            } else if (m >= 14 && m <= 24) {
                step.keepFrom = std::max(0, i - (m - 14));
            } else if (m >= 25 && m <= 35) {
                auto target = std::make_unique<ElemTarget>(at.x, at.y, m);
                target->iconScale = 2.0f * mapScale;
                step.elems.push_back(std::move(target));
            } else if (m >= 36 && m <= 41) {
                step.elems.push_back(std::make_unique<ElemSubs>(at.x, at.y, m));
            } else if (m == 42 || m == 43) {
                list.sideFlag = m - 42;
            }
        }
        list.steps.push_back(std::move(step));
    }
    return list;
}

std::string BriefingMapMenu::terrainPictureName(const std::string& watermap)
{
    if (watermap == "Ocean/wm")
        return "data/terrain/Channel/wm.pvr";
    return "data/terrain/" + watermap + ".pvr";
}

// The map.

BriefingMapMenu::~BriefingMapMenu()
{
    m_steps.steps.clear();
    if (m_sheetSet >= 0)
        unloadSprite(m_sheetSet);
    // The picture goes back through the texture cache's reference count.
    m_terrain = TextureRef{};
}

bool BriefingMapMenu::setup(int campaign, int mission, int x, int y, int w, int h)
{
    const MapInfoCfg* record = MapLists::instance().campaignMission(campaign, mission);
    if (!record)
        return false;
    char name[64];
    std::snprintf(name, sizeof name, "data/sprites/c%dm%d", campaign + 1, mission + 1);
    const int set = spriteSetByName(name);
    if (set < 0)
        return false;
    CSprite* sheet = getSprite(set);
    if (!sheet->isLoaded())
        return false;
    m_sheetSet = set;
    return setupWith(*record, *sheet, x, y, w, h);
}

bool BriefingMapMenu::setupWith(const MapInfoCfg& record, CSprite& sheet, int x, int y, int w, int h)
{
    m_steps = StepList{};
    m_terrain = TextureRef{};
    sheet.setScale(1.0f, 1.0f);
    const SpriteSheet& data = sheet.sheet();
    if (data.modules.empty() || w <= 0 || h <= 0)
        return false;
    const SpriteSheet::Module& window = data.modules[0];
    if (window.w == 0 || window.h == 0)
        return false;
    TextureLoadFlags flags;
    const Graphics* device = graphics();
    if (device && device->qualityTier() < 2)
        flags.dropLevels = 1;
    TextureRef picture = getTexture(terrainPictureName(record.watermap), SamplerSettings{}, flags);
    if (!picture || picture->width() <= 0 || picture->height() <= 0)
        return false;
    const float W = static_cast<float>(picture->width()), H = static_cast<float>(picture->height());
    const float f = W / 2048.0f;
    // The sheet's units are 1/2048 of the picture's width, y down from the picture's top.
    m_source.x = window.x * f;
    m_source.y = window.y * f;
    m_source.w = window.w * f;
    m_source.h = window.h * f;
    m_source.left = m_source.x / W;
    m_source.top = m_source.y / H;
    m_source.right = (m_source.x + m_source.w) / W;
    m_source.bottom = (m_source.y + m_source.h) / H;
    m_destination = m_source;
    m_destination.x = static_cast<float>(x);
    m_destination.y = static_cast<float>(y);
    m_destination.w = static_cast<float>(w);
    m_destination.h = static_cast<float>(h);
    m_mapScale = static_cast<float>(w) / static_cast<float>(window.w);
    m_icons = getSprite(kIconSet);
    const float arrowHeight = m_icons->frameRect(kArrowFrame).h;
    // The sheet's own scale: the screen's sprite scale has no say in map units.
    m_steps = buildSteps(data, data.sheetScale, static_cast<float>(x), static_cast<float>(y), m_mapScale,
                         arrowHeight > 0.0f ? arrowHeight : 1.0f);
    m_terrain = std::move(picture);
    return true;
}

void BriefingMapMenu::draw()
{
    if (!m_terrain)
        return;
    const Rect& d = m_destination;
    // Premultiplied white: the picture as it is.
    const Color4 c = d.color;
    std::array<SpriteVertex, 4> quad{};
    quad[0] = {d.x, d.y, 0.0f, c, d.left, d.top};
    quad[1] = {d.x + d.w, d.y, 0.0f, c, d.right, d.top};
    quad[2] = {d.x, d.y + d.h, 0.0f, c, d.left, d.bottom};
    quad[3] = {d.x + d.w, d.y + d.h, 0.0f, c, d.right, d.bottom};
    spriteBatch().addQuad(quad, m_terrain.get());
    drawSteps();
}

void BriefingMapMenu::drawSteps()
{
    const DrawContext context{m_icons, m_steps.sideFlag};
    for (int i : m_steps.visibleSteps())
        for (const auto& elem : m_steps.steps[static_cast<std::size_t>(i)].elems)
            elem->draw(context);
}

void BriefingMapMenu::update()
{
    if (m_terrain)
        m_steps.advance();
}
