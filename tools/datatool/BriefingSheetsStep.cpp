// Step 640: the briefing map of every campaign mission, "data/sprites/c<c>m<m>.bspr",
// made from the mission itself once the maps exist. Module 0 is the cut-out of
// the mission's terrain picture in 1/2048 of the picture's width; animation 0
// lists the briefing's steps, each a frame whose parts place modules whose
// numbers are the map's element codes (planes with their nation, paths,
// arrows, targets, nation badges, the side flag). The sheets share one empty
// texture, as the map draws its icons from the HUD sheet.
#include "DataTool.h"
#include "MapWorlds.h"
#include "SheetImage.h"

#include "render/2d/SpriteSheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr int kUnits = 2048;            // sheet units across the terrain picture
constexpr int kMarkSize = 2;            // the code modules' size
constexpr const char* kTexture = "briefing_codes";

// Element codes.
enum Code {
    PlaneAt = 1, ArrowFrom = 8, ArrowRed = 9, ArrowBlue = 10, PathPoint = 11, KeepOnly = 14,
    TargetDanger = 25, TargetCross = 26, TargetRadar = 27, TargetBuilding = 28, TargetBridge = 29,
    ShipOwn = 30, TankOwn = 31, AirfieldEnemy = 32, TargetFlak = 33, ShipEnemy = 34, TankEnemy = 35,
    SideFirst = 42, SideSecond = 43,
};

struct Nation {
    const char* code;
    int planeKind, badgeKind;
};
constexpr Nation kNations[] = {{"EN", 3, 37}, {"US", 2, 36}, {"JP", 6, 40}, {"DE", 4, 38}, {"RU", 5, 39}, {"AU", 7, 41}};

const Nation* nationOf(const std::string& code)
{
    for (const Nation& n : kNations)
        if (code == n.code)
            return &n;
    return nullptr;
}

struct Object {
    std::string name, unit;
    int team = 0;
    float x = 0.0f, z = 0.0f;
};

struct Mission {
    std::string record, terrain, friendCode, enemyCode;
    int campaign = 0, index = 0;
    std::vector<Object> objects;
};

std::string recordValue(const std::string& text, const std::string& key)
{
    const std::regex pattern("\\b" + key + "\\s+\"?([^\"\\n]*)\"?");
    std::smatch match;
    return std::regex_search(text, match, pattern) ? match[1].str() : std::string();
}

bool readMission(DataContext& context, const std::string& record, Mission& out)
{
    std::string cfg, edt;
    if (!readSourceFile(context.sourceDir() / "records/data/maps/configs" / (record + ".cfg"), cfg) ||
        !readSourceFile(context.stageDir() / "data/maps" / (record + ".edt"), edt)) {
        context.error("briefings: cannot read the mission " + record);
        return false;
    }
    out.record = record;
    out.terrain = recordValue(cfg, "terrain");
    out.friendCode = recordValue(cfg, "teamFriend");
    out.enemyCode = recordValue(cfg, "teamEnemy");
    out.campaign = std::atoi(recordValue(cfg, "campaign_id").c_str());
    out.index = std::atoi(recordValue(cfg, "index").c_str());
    const std::regex object(
        "MapObject \\{ name \"([^\"]*)\" unit \"([^\"]*)\" kind [0-9-]+ team ([0-9-]+) pos ([-0-9.]+) [-0-9.]+ ([-0-9.]+)");
    for (auto it = std::sregex_iterator(edt.begin(), edt.end(), object); it != std::sregex_iterator(); ++it) {
        Object o;
        o.name = (*it)[1];
        o.unit = (*it)[2];
        o.team = std::atoi((*it)[3].str().c_str());
        o.x = std::stof((*it)[4]);
        o.z = std::stof((*it)[5]);
        out.objects.push_back(o);
    }
    return true;
}

struct Point {
    float x = 0.0f, y = 0.0f;
};

// One step of the briefing while it is being written.
struct StepPlan {
    int duration = 60;
    std::vector<std::pair<int, Point>> marks;   // code, window point
    void mark(int code, Point p) { marks.push_back({code, p}); }
};

class Briefing {
public:
    Briefing(const Mission& mission, float terrainSize) : m_mission(mission), m_size(terrainSize) {}

    bool build(DataContext& context, SpriteSheet& sheet);

private:
    Point unitsOf(float x, float z) const
    {
        return {(x / m_size + 0.5f) * kUnits, (z / m_size + 0.5f) * kUnits};
    }
    Point local(Point p) const { return {p.x - m_x0, p.y - m_y0}; }
    const Object* find(const std::string& prefix, int team) const
    {
        for (const Object& o : m_mission.objects)
            if (o.name.rfind(prefix, 0) == 0 && (team < 0 || o.team == team))
                return &o;
        return nullptr;
    }
    std::vector<const Object*> objectives() const;
    int targetCode(const Object& o) const;

    const Mission& m_mission;
    float m_size;
    float m_x0 = 0.0f, m_y0 = 0.0f, m_side = 0.0f;
};

std::vector<const Object*> Briefing::objectives() const
{
    std::vector<const Object*> list;
    for (const Object& o : m_mission.objects) {
        if (o.name == "player" || o.name.rfind("wingman", 0) == 0 || o.name.rfind("base_", 0) == 0 ||
            o.name.rfind("wave_", 0) == 0)
            continue;
        list.push_back(&o);
    }
    return list;
}

int Briefing::targetCode(const Object& o) const
{
    const bool own = o.team == 0;
    if (o.unit == "cargoship" || o.unit == "navalunit")
        return own ? ShipOwn : ShipEnemy;
    if (o.unit == "tank" || o.unit == "truck")
        return own ? TankOwn : TankEnemy;
    if (o.unit == "tower")
        return TargetRadar;
    if (o.unit == "hangar" || o.unit == "hq")
        return TargetBuilding;
    if (o.unit == "bridge")
        return TargetBridge;
    if (o.unit == "flakgun")
        return TargetFlak;
    return 0;   // planes: drawn as planes
}

bool Briefing::build(DataContext& context, SpriteSheet& sheet)
{
    const Object* player = find("player", 0);
    const Object* home = find("base_0", 0);
    const Object* enemyBase = find("base_1", 1);
    const std::vector<const Object*> goals = objectives();
    if (!player || !home || !enemyBase || goals.empty()) {
        context.error("briefings: " + m_mission.record + " lacks its player, bases or objectives");
        return false;
    }
    // The window: a square around the player's start and the objectives.
    Point lo = unitsOf(player->x, player->z), hi = lo;
    auto grow = [&](Point p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    };
    for (const Object* o : goals)
        grow(unitsOf(o->x, o->z));
    const float side = std::clamp(std::max(hi.x - lo.x, hi.y - lo.y) * 1.4f + 160.0f, 400.0f, float(kUnits));
    const Point centre{(lo.x + hi.x) / 2.0f, (lo.y + hi.y) / 2.0f};
    m_side = side;
    m_x0 = std::clamp(centre.x - side / 2.0f, 0.0f, kUnits - side);
    m_y0 = std::clamp(centre.y - side / 2.0f, 0.0f, kUnits - side);
    auto at = [&](const Object& o) { return local(unitsOf(o.x, o.z)); };
    auto inside = [&](Point p) {
        const float margin = side * 0.06f;
        return Point{std::clamp(p.x, margin, side - margin), std::clamp(p.y, margin, side - margin)};
    };

    const Nation* friends = nationOf(m_mission.friendCode);
    const Nation* enemies = nationOf(m_mission.enemyCode);
    const int sideCode = friends && (friends->planeKind == 4 || friends->planeKind == 6) ? SideSecond : SideFirst;

    // The objective everyone heads for: the middle of the goal objects.
    Point goal{};
    int goalCount = 0;
    const Object* enemyPlane = nullptr;
    for (const Object* o : goals) {
        if (targetCode(*o) == 0) {
            if (o->team == 1 && !enemyPlane)
                enemyPlane = o;
            if (o->team == 1 && targetCode(*o) == 0) {
                const Point p = at(*o);
                goal = {goal.x + p.x, goal.y + p.y};
                ++goalCount;
            }
            continue;
        }
        const Point p = at(*o);
        goal = {goal.x + p.x, goal.y + p.y};
        ++goalCount;
    }
    goal = inside(Point{goal.x / std::max(goalCount, 1), goal.y / std::max(goalCount, 1)});
    const Point start = inside(at(*player));
    const Point enemyHome = inside(at(*enemyBase));
    auto lerp = [](Point a, Point b, float t) { return Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; };
    auto plane = [&](StepPlan& step, const Nation* nation, Point from, Point to, int points, float bend) {
        // The plane stands on its nation code and looks at the first part's point.
        const Point d{to.x - from.x, to.y - from.y};
        const float len = std::max(std::hypot(d.x, d.y), 1.0f);
        step.mark(PlaneAt, Point{from.x - d.x / len * 20.0f, from.y - d.y / len * 20.0f});
        step.mark(nation ? nation->planeKind : 0, from);
        for (int i = 0; i <= points; ++i) {
            const float t = static_cast<float>(i) / points;
            Point p = lerp(from, to, t);
            const float swing = std::sin(t * 3.14159f) * bend;
            p = {p.x - d.y / len * swing, p.y + d.x / len * swing};
            step.mark(PathPoint, inside(p));
        }
    };

    std::vector<StepPlan> steps(4);
    // 1: the two sides' bases and what the mission is about.
    steps[0].duration = 90;
    steps[0].mark(sideCode, Point{1.0f, 1.0f});
    if (friends)
        steps[0].mark(friends->badgeKind, start);
    if (enemies)
        steps[0].mark(enemies->badgeKind, enemyHome);
    for (const Object* o : goals)
        if (const int code = targetCode(*o))
            steps[0].mark(code, inside(at(*o)));
    // 2: our flight heads for the objective.
    steps[1].duration = 150;
    steps[1].mark(ArrowFrom, lerp(start, goal, 0.12f));
    steps[1].mark(ArrowBlue, lerp(start, goal, 0.8f));
    plane(steps[1], friends, start, lerp(start, goal, 0.85f), 12, side * 0.04f);
    // 3: the enemy comes up to meet it.
    steps[2].duration = 150;
    const Point threat = enemyPlane ? inside(at(*enemyPlane)) : enemyHome;
    const Point from = std::hypot(threat.x - goal.x, threat.y - goal.y) > side * 0.15f ? threat : enemyHome;
    steps[2].mark(ArrowFrom, lerp(from, goal, 0.1f));
    steps[2].mark(ArrowRed, lerp(from, goal, 0.75f));
    plane(steps[2], enemies, from, lerp(from, goal, 0.8f), 12, -side * 0.05f);
    // 4: only the objective stays in view, marked, and our flight goes in.
    steps[3].duration = 180;
    steps[3].mark(KeepOnly, Point{1.0f, 1.0f});
    steps[3].mark(TargetCross, goal);
    for (const Object* o : goals)
        if (o->unit == "flakgun")
            steps[3].mark(TargetDanger, inside(at(*o)));
    plane(steps[3], friends, lerp(start, goal, 0.5f), goal, 10, side * 0.02f);

    // The sheet: module 0 the window, module n the mark of code n.
    sheet = SpriteSheet{};
    sheet.sheetScale = 1.0f;
    sheet.textureName = std::string(kTexture) + ".png";
    sheet.texWidth = sheet.texHeight = kUnits;
    sheet.modules.push_back({static_cast<std::uint16_t>(m_x0), static_cast<std::uint16_t>(m_y0),
                             static_cast<std::uint16_t>(side), static_cast<std::uint16_t>(side)});
    for (int code = 1; code <= SideSecond; ++code)
        sheet.modules.push_back({static_cast<std::uint16_t>(code * kMarkSize * 2), 0, kMarkSize, kMarkSize});
    for (const StepPlan& step : steps) {
        SpriteSheet::Frame frame;
        frame.firstPart = static_cast<std::uint16_t>(sheet.parts.size());
        for (const auto& [code, p] : step.marks) {
            if (code <= 0 || code > SideSecond)
                continue;
            SpriteSheet::Part part;
            part.module = static_cast<std::uint16_t>(code);
            // The part's middle is the point.
            part.x = static_cast<std::int16_t>(std::lround(p.x) - kMarkSize / 2);
            part.y = static_cast<std::int16_t>(std::lround(p.y) - kMarkSize / 2);
            sheet.parts.push_back(part);
        }
        frame.partCount = static_cast<std::uint16_t>(sheet.parts.size() - frame.firstPart);
        sheet.animFrames.push_back({static_cast<std::uint16_t>(sheet.frames.size()),
                                    static_cast<std::uint16_t>(step.duration)});
        sheet.frames.push_back(frame);
    }
    sheet.anims.push_back({0, static_cast<std::uint16_t>(sheet.animFrames.size())});
    return true;
}

bool buildBriefings(DataContext& context)
{
    bool ok = true;
    for (int c = 1; c <= 3; ++c) {
        std::string list;
        if (!readSourceFile(context.sourceDir() / "records/data/maps" / ("campaign" + std::to_string(c) + ".lst"), list)) {
            context.error("briefings: no mission list of campaign " + std::to_string(c));
            return false;
        }
        int line = 0;
        std::size_t pos = 0;
        while (pos < list.size()) {
            const std::size_t end = std::min(list.find('\n', pos), list.size());
            std::string record = list.substr(pos, end - pos);
            pos = end + 1;
            if (record.empty() || record[0] == '#')
                continue;
            ++line;
            Mission mission;
            if (!readMission(context, record, mission)) {
                ok = false;
                continue;
            }
            const Terrain* terrain = mapWorldTerrain(mission.terrain);
            if (!terrain) {
                context.error("briefings: " + record + " stands on no known terrain");
                ok = false;
                continue;
            }
            SpriteSheet sheet;
            Briefing briefing(mission, terrain->size());
            if (!briefing.build(context, sheet)) {
                ok = false;
                continue;
            }
            const std::vector<std::uint8_t> bytes = writeSpriteSheet(sheet);
            SpriteSheet check;
            if (!readSpriteSheet(bytes, check)) {
                context.error("briefings: the sheet of " + record + " does not read back");
                ok = false;
                continue;
            }
            char name[64];
            std::snprintf(name, sizeof name, "data/sprites/c%dm%d.bspr", c, line);
            ok = context.writeFile(name, bytes) && ok;
        }
    }
    SheetImage empty(kUnits, kUnits);
    const std::vector<std::uint8_t> png = empty.encodePng();
    if (png.empty()) {
        context.error("briefings: cannot encode the shared texture");
        return false;
    }
    return context.writeFile(std::string("data/sprites/") + kTexture + ".png", png) && ok;
}

}  // namespace

SKYFRONT_DATA_STEP(640, "briefings", buildBriefings);
