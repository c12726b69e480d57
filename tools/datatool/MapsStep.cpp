// The game's maps as .edt files ("data/maps/<record>.edt"): airfields with
// runways, hangars and towers, towns, roads and bridges, the two sides'
// bases, lakes, landmarks, AI patrol paths, and for each campaign mission its
// units and triggers. Everything stands on the terrains of MapTerrainsStep.
#include "DataTool.h"
#include "MapWorlds.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

enum class Mission { None, Air, Convoy, Towers, Bridge, Airfield, Cover, Ships, Flak, Headquarters, Tanks, Destroyers };

struct MapLayout {
    const char* record;
    const char* terrain;
    Mission mission;
    const char* enemyPlane;  // unit names of the campaign's sides
    const char* friendPlane;
    int campaign, index;     // -1 outside the campaigns
};

const MapLayout kMaps[] = {
    {"mainmenu", "training", Mission::None, "bf109", "p51", -1, 0},
    {"harbour", "pacific", Mission::None, "zero", "corsair", -1, 0},
    {"training", "training", Mission::None, "bf109", "p51", -1, 0},
    {"twinpeaks", "peaks", Mission::None, "mig15", "f86", -1, 0},
    {"longvalley", "valley", Mission::None, "mig21", "f4", -1, 0},
    {"cliffcoast", "channel", Mission::None, "bf109", "spitfire9", -1, 0},
    {"stormfront", "northland", Mission::None, "su25", "a10", -1, 0},
    {"c1m1", "channel", Mission::Air, "bf109", "spitfire1", 0, 0},
    {"c1m2", "channel", Mission::Convoy, "il2", "spitfire1", 0, 1},
    {"c1m3", "channel", Mission::Towers, "bf109", "spitfire9", 0, 2},
    {"c1m4", "channel", Mission::Bridge, "bf109", "spitfire9", 0, 3},
    {"c1m5", "channel", Mission::Airfield, "me262", "spitfire9", 0, 4},
    {"c2m1", "pacific", Mission::Air, "zero", "corsair", 1, 0},
    {"c2m2", "pacific", Mission::Cover, "zero", "corsair", 1, 1},
    {"c2m3", "pacific", Mission::Ships, "zero", "corsair", 1, 2},
    {"c2m4", "pacific", Mission::Flak, "zero", "corsair", 1, 3},
    {"c2m5", "pacific", Mission::Headquarters, "zero", "corsair", 1, 4},
    {"c3m1", "northland", Mission::Air, "il2", "mig15", 2, 0},
    {"c3m2", "valley", Mission::Tanks, "mig15", "f86", 2, 1},
    {"c3m3", "northland", Mission::Destroyers, "mig15", "f86", 2, 2},
    {"c3m4", "northland", Mission::Air, "mig21", "f86", 2, 3},
    {"c3m5", "northland", Mission::Headquarters, "mig21", "f4", 2, 4},
};

// Texts the triggers show, from the "maps" string sources, and the failure
// reasons by their string numbers.
constexpr int kFailConvoyText = 4612;

// The tunes the maps start (MusicStep): a calm one for flying out and the
// tutorials, the fight's, and the sting as the enemy's second wave comes in.
constexpr const char* kPatrolMusic = "data/sounds/music/high_patrol.mp3";
constexpr const char* kCombatMusic = "data/sounds/music/into_the_fray.mp3";
constexpr const char* kDangerSting = "data/sounds/music/danger_sting.mp3";
// The smoke that stands over a burning place.
constexpr const char* kSmokeEffect = "smoke_column.psc";

// The story told between a campaign's missions: the comic a mission opens with
// ("data/comics/<name>.cfg").
struct StoryComic {
    const char* record;
    const char* comic;
};
constexpr StoryComic kStoryComics[] = {
    {"c2m1", "c2_start"},  // the squadron's move from the channel to the Pacific
};

// The landmarks of the achievements, numbered across all maps: a landmark
// reached counts achievement event 73 + its number, and each is named by its
// achievement's name text. Harbour Bay holds the first two groups, Long
// Valley the hills, Cliff Coast the channel's.
constexpr const char* kLandmarkKeys[] = {
    "ACH_PACIFIC_WRECK",      "ACH_PACIFIC_WATERFALL",   "ACH_PACIFIC_HANGAR",      "ACH_HARBOUR_WRECK",
    "ACH_HILLS_TUNNEL_BRIDGE", "ACH_HILLS_TUNNEL_CLIFFS", "ACH_HILLS_TUNNEL_LONG",   "ACH_HILLS_BRIDGE_GORGE",
    "ACH_HILLS_BRIDGE_SMALL", "ACH_HILLS_CHURCH",        "ACH_CHANNEL_RADAR_UK",    "ACH_CHANNEL_CASTLE_UK",
    "ACH_CHANNEL_HILLS",      "ACH_CHANNEL_VILLAGE_UK",  "ACH_CHANNEL_CATHEDRAL",   "ACH_CHANNEL_CROSSING",
    "ACH_CHANNEL_LIGHTHOUSE", "ACH_CHANNEL_HANGAR_GE",   "ACH_CHANNEL_RADAR_GE",    "ACH_CHANNEL_CRANES_UK",
    "ACH_CHANNEL_VILLAGE_FR", "ACH_HARBOUR_FLEET",       "ACH_HARBOUR_HANGAR",      "ACH_HARBOUR_WATER_TOWER",
    "ACH_HARBOUR_CRANE",      "ACH_HARBOUR_RADAR",       "ACH_HARBOUR_OIL",         "ACH_HARBOUR_GOLF",
    "ACH_PACIFIC_WATCHTOWER", "ACH_PACIFIC_BRIDGE",      "ACH_PACIFIC_RADAR",       "ACH_PACIFIC_VILLAGE",
    "ACH_PACIFIC_RUNWAY",     "ACH_HARBOUR_RUNWAY",      "ACH_HARBOUR_VILLAGE",     "ACH_HILLS_RUNWAY",
    "ACH_HILLS_VILLAGE",      "ACH_HILLS_RADAR",         "ACH_CHANNEL_RUNWAY",
};
constexpr int kLandmarkCount = static_cast<int>(std::size(kLandmarkKeys));

int landmarkNumber(std::string_view key)
{
    for (int n = 0; n < kLandmarkCount; ++n)
        if (key == kLandmarkKeys[n])
            return n;
    return -1;
}

// The objects of "landmarks.glm".
constexpr const char* kCrane = "landmarks.glm_0";
constexpr const char* kOilTank = "landmarks.glm_1";
constexpr const char* kWaterTower = "landmarks.glm_2";
constexpr const char* kRadarMasts = "landmarks.glm_3";
constexpr const char* kTunnel = "landmarks.glm_4";
constexpr const char* kLighthouse = "landmarks.glm_5";
constexpr const char* kChurch = "landmarks.glm_6";
constexpr const char* kCastle = "landmarks.glm_7";
constexpr const char* kCathedral = "landmarks.glm_8";
constexpr const char* kWatchtower = "landmarks.glm_9";
constexpr const char* kRadar = "landmarks.glm_10";
constexpr const char* kGolfGreen = "landmarks.glm_11";
constexpr const char* kWaterfall = "landmarks.glm_12";
constexpr const char* kWoodBridge = "landmarks.glm_13";
constexpr const char* kLongTunnel = "landmarks.glm_14";
constexpr const char* kHangar = "airbase.glm_0";

class EdtWriter {
public:
    void line(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        m_text += buffer;
        m_text += '\n';
    }
    std::string& text() { return m_text; }

private:
    std::string m_text;
};

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct P {
    float x, y, z;
};

class MapBuilder {
public:
    MapBuilder(const MapLayout& layout, const MapWorldPlan& plan, const Terrain& terrain)
        : m_layout(layout), m_plan(plan), m_terrain(terrain)
    {
    }

    float ground(float x, float z) const { return m_terrain.heightAt(x, z); }
    float groundOrWater(float x, float z) const
    {
        float h = std::max(ground(x, z), 0.0f);
        for (const MapBasin& lake : m_plan.lakes)
            if (std::hypot(x - lake.x, z - lake.z) < lake.radius)
                h = std::max(h, lake.level);
        return h;
    }
    bool inLake(float x, float z, float margin) const
    {
        for (const MapBasin& lake : m_plan.lakes)
            if (std::hypot(x - lake.x, z - lake.z) < lake.radius + margin)
                return true;
        return false;
    }
    // The nearest point (on a widening ring search) whose ground lies in the
    // band; for water, below -depth.
    P find(float x, float z, float low, float high, const std::function<bool(const P&)>& also = {}) const
    {
        for (float r = 0.0f; r < 16000.0f; r += 150.0f) {
            const int steps = r == 0.0f ? 1 : std::max(8, static_cast<int>(r / 120.0f));
            for (int k = 0; k < steps; ++k) {
                const float a = 2.0f * kPi * k / steps;
                const float px = x + r * std::cos(a), pz = z + r * std::sin(a);
                if (std::fabs(px) > 15000.0f || std::fabs(pz) > 15000.0f)
                    continue;
                const float h = ground(px, pz);
                if (h >= low && h <= high && !(low >= 0.0f && inLake(px, pz, 150.0f)) && (!also || also({px, h, pz})))
                    return {px, h, pz};
            }
        }
        return {x, ground(x, z), z};
    }
    P land(float x, float z) const { return find(x, z, 12.0f, 700.0f); }
    P sea(float x, float z) const
    {
        P p = find(x, z, -1e9f, -35.0f);
        p.y = 0.0f;
        return p;
    }

    void item(const std::string& name, int kind, const std::string& model, P pos, float heading, float pitch = 0.0f)
    {
        m_out.line("EditorItem { name \"%s\" kind %d model \"%s\" pos %.2f %.2f %.2f angles %.2f %.2f 0 }",
                   name.c_str(), kind, model.c_str(), pos.x, pos.y, pos.z, pitch, heading);
        ++m_items;
    }
    void object(const std::string& name, const char* unit, int kind, int team, P pos, float heading,
                const char* extra = "")
    {
        m_out.line("MapObject { name \"%s\" unit \"%s\" kind %d team %d pos %.2f %.2f %.2f angles 0 %.2f 0 %s }",
                   name.c_str(), unit, kind, team, pos.x, pos.y, pos.z, heading, extra);
    }

    // Runway, hangars, tower and the side's base at airfield i.
    void airfield(int i)
    {
        const MapFlat& f = m_plan.flats[static_cast<std::size_t>(i)];
        const float h = mapFlatHeight(m_plan, f);
        const float a = f.angle * kPi / 180.0f;
        const float ax = std::cos(a), az = -std::sin(a);  // along the runway
        const float sx = std::sin(a), sz = std::cos(a);   // across it
        auto at = [&](float along, float across) { return P{f.x + ax * along + sx * across, h, f.z + az * along + sz * across}; };
        item("runway_" + std::to_string(i), 17, "runway_field.glm_0", at(0, 0), f.angle);
        item("apron_" + std::to_string(i), 0, "runway_field.glm_1", at(-300.0f, 140.0f), f.angle);
        for (int k = 0; k < 3; ++k)
            item("hangar_" + std::to_string(i) + "_" + std::to_string(k), 0, "airbase.glm_0",
                 at(-520.0f + k * 110.0f, 230.0f), f.angle + 180.0f);
        item("tower_" + std::to_string(i), 0, "airbase.glm_1", at(-80.0f, 210.0f), f.angle);
        object("base_" + std::to_string(i), "hq", 6, i, at(250.0f, 260.0f), f.angle,
               "active true");
        m_fields.push_back(at(0, 0));
    }

    // Houses around a point on land, with a road from there to airfield 0.
    void town(const std::string& name, float x, float z, int houses) { village(name, land(x, z), houses); }
    void village(const std::string& name, P c, int houses)
    {
        for (int k = 0; k < houses; ++k) {
            const float a = k * 2.39996f, r = 40.0f + 28.0f * std::sqrt(static_cast<float>(k));
            const float hx = c.x + r * std::cos(a), hz = c.z + r * std::sin(a);
            if (ground(hx, hz) < 6.0f || inLake(hx, hz, 30.0f))
                continue;
            item(name + "_house_" + std::to_string(k), 0, "house.glm_" + std::to_string(k % 3),
                 {hx, ground(hx, hz), hz}, std::fmod(a * 57.3f, 90.0f));
        }
        m_towns.emplace_back(name, c);
        if (!m_fields.empty())
            road(name, c, m_fields[0]);
    }

    // Road pieces of 100 m, each laid on the ground it crosses; a bridge
    // where the road crosses water.
    void road(const std::string& name, P from, P to)
    {
        const float dx = to.x - from.x, dz = to.z - from.z;
        const float length = std::hypot(dx, dz);
        const int pieces = std::min(static_cast<int>(length / 100.0f), 120);
        const float heading = std::atan2(-dz, dx) * 180.0f / kPi;  // the piece runs along +x
        bool onBridge = false;
        for (int k = 1; k < pieces - 1; ++k) {
            const float t0 = static_cast<float>(k) / pieces, t1 = static_cast<float>(k + 1) / pieces;
            const float x0 = from.x + dx * t0, z0 = from.z + dz * t0;
            const float x1 = from.x + dx * t1, z1 = from.z + dz * t1;
            const float mx = (x0 + x1) * 0.5f, mz = (z0 + z1) * 0.5f;
            const float h0 = ground(x0, z0), h1 = ground(x1, z1);
            if (std::min({h0, h1, ground(mx, mz)}) < 2.0f) {
                if (!onBridge && !inLake(mx, mz, 0.0f))
                    item(name + "_bridge_" + std::to_string(k), 0, "bridge.glm", {mx, 0.0f, mz}, heading);
                onBridge = true;
                continue;
            }
            onBridge = false;
            const float pitch = std::atan2(h1 - h0, 100.0f) * 180.0f / kPi;
            item(name + "_road_dummy_" + std::to_string(k), 22, "road.glm", {mx, (h0 + h1) * 0.5f + 0.3f, mz},
                 heading, -pitch);
        }
    }

    void lakes()
    {
        for (const MapBasin& lake : m_plan.lakes)
            m_out.line("MapLake { name \"%s\" pos %.2f %.2f %.2f radius %.1f level %.2f }", lake.name, lake.x,
                       lake.level, lake.z, lake.radius, lake.level);
    }

    // A loop of points at a height above the ground under each.
    void path(const char* name, float cx, float cz, float radius, float above, int points)
    {
        for (int k = 0; k < points; ++k) {
            const float a = 2.0f * kPi * k / points;
            const float x = cx + radius * std::cos(a), z = cz + radius * std::sin(a);
            m_out.line("MapWaypoint { name \"%s_%d\" path \"%s\" order %d pos %.1f %.1f %.1f }", name, k, name, k, x,
                       groundOrWater(x, z) + above, z);
        }
    }

    // A landmark of the achievement table by its name's key, or (number past
    // the table) one that only shows its notice.
    void landmark(const char* key, P at, float radius)
    {
        const int number = landmarkNumber(key);
        m_landmarks.push_back({at, radius});
        landmark(number, key, at, radius);
    }
    void landmark(int number, const char* key, P at, float radius)
    {
        m_out.line("MapTrigger { name \"landmark_%d\" shape Cylinder pos %.1f %.1f %.1f radius %.1f size 1 3000 1 "
                   "group %d landmark %d notice \"%s\" }",
                   number, at.x, at.y, at.z, radius, number, number, key);
    }

    // A place where smoke stands from the level's start; the game starts it
    // by the name and never fires the trigger.
    void effectPoint(const std::string& what, P at)
    {
        m_out.line("MapTrigger { name \"effect_dummy_%s\" pos %.1f %.1f %.1f exec [", what.c_str(), at.x, at.y, at.z);
        m_out.line("    TriggerAction { type Effect text \"%s\" }", kSmokeEffect);
        m_out.line("] }");
    }
    // The map's tune, as play starts.
    void matchMusic(const char* tune)
    {
        m_out.line("MapTrigger { name \"music\" condition Timer delay 0.2 exec [");
        m_out.line("    TriggerAction { type Music text \"%s\" value 1 }", tune);
        m_out.line("] }");
    }

    void worldspawn(P spawn, float heading, P centre, P dummy, float startHeading, float startPitch)
    {
        m_out.line("Worldspawn {");
        m_out.line("    centre %.1f %.1f %.1f", centre.x, centre.y, centre.z);
        m_out.line("    ceiling %.1f", m_plan.snowy ? 7000.0f : 6000.0f);
        m_out.line("    spawn %.2f %.2f %.2f", spawn.x, spawn.y, spawn.z);
        m_out.line("    spawnAngles 0 %.1f 0", heading);
        m_out.line("    startHeading %.4f", startHeading);
        m_out.line("    startPitch %.4f", startPitch);
        m_out.line("    dummyPoint %.1f %.1f %.1f", dummy.x, dummy.y, dummy.z);
        m_out.line("    lightColor %s", m_plan.snowy ? "236 240 255 255" : "255 244 224 255");
        m_out.line("    fogDensity %.5f", m_plan.snowy ? 0.00012f : 0.00005f);
        m_out.line("}");
    }

    // The landmarks' places keep this far apart beyond their radii, so one
    // pass over a landmark reaches that one alone.
    static constexpr float kLandmarkGap = 400.0f;
    bool clearOfLandmarks(const P& p, float radius) const
    {
        for (const Spot& l : m_landmarks)
            if (std::hypot(p.x - l.at.x, p.z - l.at.z) < radius + l.radius + kLandmarkGap)
                return false;
        return true;
    }
    // Ground in the band near (x, z), clear of the landmarks so far.
    P spot(float x, float z, float low, float high, float radius) const
    {
        return find(x, z, low, high, [&](const P& p) { return clearOfLandmarks(p, radius); });
    }
    // Land by the sea: ground in the band with open water within 300.
    P coast(float x, float z, float low, float high, float radius) const
    {
        return find(x, z, low, high, [&](const P& p) { return clearOfLandmarks(p, radius) && seaward(p) != nullptr; });
    }
    // Open water clear of the landmarks.
    P openSea(float x, float z, float radius) const
    {
        P p = find(x, z, -1e9f, -35.0f, [&](const P& q) { return clearOfLandmarks(q, radius); });
        p.y = 0.0f;
        return p;
    }
    // Open water round a ship of this half length, clear of the landmarks:
    // deep under it and no land within the length either way.
    P shipWater(float x, float z, float half) const
    {
        P p = find(x, z, -1e9f, -35.0f, [&](const P& q) {
            if (!clearOfLandmarks(q, half + 100.0f))
                return false;
            for (int k = 0; k < 12; ++k) {
                const float a = 2.0f * kPi * k / 12.0f;
                if (ground(q.x + 1.5f * half * std::cos(a), q.z + 1.5f * half * std::sin(a)) > -12.0f)
                    return false;
            }
            return true;
        });
        p.y = 0.0f;
        return p;
    }
    // A carrier with a submarine off its beam, of one side, bows toward `to`.
    void fleet(const std::string& stem, int team, P near, P to)
    {
        const P carrier = shipWater(near.x, near.z, 140.0f);
        const float heading = std::atan2(to.x - carrier.x, to.z - carrier.z) * 180.0f / kPi + 180.0f;
        object(stem + "_carrier", "carrier", 11, team, carrier, heading);
        m_landmarks.push_back({carrier, 140.0f});
        const P sub = shipWater(carrier.x + 500.0f, carrier.z - 400.0f, 45.0f);
        object(stem + "_submarine", "submarine", 8, team, sub, heading);
        m_landmarks.push_back({sub, 45.0f});
    }
    // Four trucks on the road from `from` to `to`, from a fifth of the way
    // on, 50 apart on the first dry stretch and heading for `to`.
    void convoy(const std::string& stem, int team, P from, P to)
    {
        const float dx = to.x - from.x, dz = to.z - from.z;
        const float length = std::max(std::hypot(dx, dz), 1.0f);
        const float heading = std::atan2(dx, dz) * 180.0f / kPi;
        std::vector<P> column;
        for (float t = 0.2f; t < 0.9f && column.size() < 4; t += 50.0f / length) {
            const float x = from.x + dx * t, z = from.z + dz * t;
            if (ground(x, z) < 6.0f || inLake(x, z, 30.0f))
                column.clear();  // the column keeps together: it starts again past the water
            else
                column.push_back({x, ground(x, z) + 0.3f, z});
        }
        for (std::size_t k = 0; k < column.size(); ++k)
            object(stem + "_" + std::to_string(k), "truck", 4, team, column[k], heading);
    }
    // The direction (unit x, z) toward water within 300 of p; null inland.
    const float* seaward(const P& p) const
    {
        static thread_local float dir[2];
        for (int k = 0; k < 16; ++k) {
            const float a = 2.0f * kPi * k / 16.0f;
            if (ground(p.x + 300.0f * std::cos(a), p.z + 300.0f * std::sin(a)) < -5.0f) {
                dir[0] = std::cos(a);
                dir[1] = std::sin(a);
                return dir;
            }
        }
        return nullptr;
    }
    // Heading (degrees, as the items take it) that turns an item's +x toward the direction.
    static float headingOf(float dx, float dz) { return std::atan2(-dz, dx) * 180.0f / kPi; }
    // Downhill from p, over 60 units.
    std::pair<float, float> downhill(const P& p) const
    {
        float best = 1e9f, bx = 1.0f, bz = 0.0f;
        for (int k = 0; k < 16; ++k) {
            const float a = 2.0f * kPi * k / 16.0f, x = std::cos(a), z = std::sin(a);
            const float h = ground(p.x + 60.0f * x, p.z + 60.0f * z);
            if (h < best) {
                best = h;
                bx = x;
                bz = z;
            }
        }
        return {bx, bz};
    }
    // A tunnel's bore runs along its +z, half each way, its road
    // kTunnelAboveGround under the origin; its foundations reach 8 deeper, so
    // the ground under it may fall that far below its highest point. Finds
    // the heading (degrees) with the least fall at p, and that highest
    // ground; false where none fits.
    static constexpr float kTunnelAboveGround = 16.5f;
    bool tunnelBed(const P& p, float half, float& heading, float& top) const
    {
        float best = 1e9f;
        for (float h = 0.0f; h < 180.0f; h += 15.0f) {
            const float a = h * kPi / 180.0f;
            const float ax = std::sin(a), az = std::cos(a), sx = std::cos(a), sz = -std::sin(a);
            float lo = 1e9f, hi = -1e9f;
            for (float along = -half - 8.0f; along <= half + 8.0f; along += 16.0f)
                for (float across = -46.0f; across <= 46.0f; across += 23.0f) {
                    const float x = p.x + ax * along + sx * across, z = p.z + az * along + sz * across;
                    const float g = inLake(x, z, 20.0f) ? -1e6f : ground(x, z);
                    lo = std::min(lo, g);
                    hi = std::max(hi, g);
                }
            if (lo > 8.0f && hi - lo < best) {
                best = hi - lo;
                heading = h;
                top = hi;
            }
        }
        return best < 6.0f;
    }
    // The highest ground of the field on a coarse grid.
    P summit() const
    {
        P top{0.0f, -1e9f, 0.0f};
        for (float x = -14000.0f; x <= 14000.0f; x += 250.0f)
            for (float z = -14000.0f; z <= 14000.0f; z += 250.0f)
                if (const float h = ground(x, z); h > top.y && clearOfLandmarks({x, h, z}, 450.0f))
                    top = {x, h, z};
        return top;
    }
    void placedItem(const std::string& name, const char* model, const P& at, float heading, float pitch = 0.0f,
                    float sink = 0.0f)
    {
        item(name, 0, model, {at.x, at.y - sink, at.z}, heading, pitch);
    }
    // Some items side by side (along their +z), each on the ground under it
    // or, on a quay, all at the height of the first spot.
    void row(const std::string& name, const char* model, const P& at, float heading, int count, float gap,
             bool level = false)
    {
        const float a = heading * kPi / 180.0f;
        for (int k = 0; k < count; ++k) {
            const float off = (static_cast<float>(k) - 0.5f * static_cast<float>(count - 1)) * gap;
            const float x = at.x + off * std::sin(a), z = at.z + off * std::cos(a);
            placedItem(name + "_" + std::to_string(k), model, {x, level ? at.y : std::max(ground(x, z), 0.0f), z},
                       heading);
        }
    }
    void harbourLandmarks();
    void valleyLandmarks();
    void channelLandmarks();
    // On the maps without landmarks of the table: towns and lakes, whose
    // notices earn nothing, numbered on from the table's last.
    void noticeLandmarks(int& number);

    std::string build(int& extraNumber);

private:
    struct Spot {
        P at;
        float radius;
    };
    void missionContent();
    std::string names(const std::string& stem, int count) const
    {
        std::string out;
        for (int k = 0; k < count; ++k)
            out += (k ? " " : "") + stem + std::to_string(k);
        return out;
    }

    const MapLayout& m_layout;
    const MapWorldPlan& m_plan;
    const Terrain& m_terrain;
    EdtWriter m_out;
    std::vector<P> m_fields;
    std::vector<std::pair<std::string, P>> m_towns;
    std::vector<Spot> m_landmarks;
    int m_items = 0;
};

std::string MapBuilder::build(int& extraNumber)
{
    m_out.line("// Map \"%s\" on the \"%s\" terrain. Made by the data tool.", m_layout.record, m_layout.terrain);
    const std::string record = m_layout.record;
    // Placed first so the tutorials' runway is the first such item.
    for (std::size_t i = 0; i < m_plan.flats.size(); ++i)
        airfield(static_cast<int>(i));
    const P a = m_fields[0], b = m_fields.size() > 1 ? m_fields[1] : m_fields[0];
    const P centre{(a.x + b.x) * 0.5f, 0.0f, (a.z + b.z) * 0.5f};
    if (!m_plan.rivers.empty()) {
        const auto& river = m_plan.rivers[0].points;
        const auto& mid = river[river.size() / 2];
        town("riverside", mid.first + 900.0f, mid.second + 700.0f, 14);
    }
    town("market", centre.x + 2500.0f, centre.z - 1800.0f, 18);
    town("farms", a.x - 3000.0f, a.z + 2500.0f, 8);
    lakes();

    const float toEnemy = std::atan2(-(b.z - a.z), b.x - a.x) * 180.0f / kPi;
    const P spawn{a.x - 2500.0f * std::cos(toEnemy * kPi / 180.0f), 0.0f,
                  a.z + 2500.0f * std::sin(toEnemy * kPi / 180.0f)};
    const float spawnY = std::max(groundOrWater(spawn.x, spawn.z), groundOrWater(a.x, a.z)) + 1500.0f;
    if (record == "mainmenu") {
        // The menu flight starts here and loops over the home field.
        const P start{12679.454f, 1608.3379f, 4755.814f};
        worldspawn(start, 90.0f, centre, {a.x, a.y + 600.0f, a.z}, 1.5707964f, -0.05f);
        path("menu", 8500.0f, 6000.0f, 4200.0f, 1500.0f, 8);
    } else {
        worldspawn({spawn.x, spawnY, spawn.z}, toEnemy - 90.0f, centre, {a.x, a.y + 600.0f, a.z}, 0.0f, 0.0f);
    }
    path("patrol", centre.x, centre.z, 4000.0f, 1400.0f, 6);
    path("front", b.x, b.z, 2500.0f, 1000.0f, 5);

    if (m_layout.campaign < 0) {
        // A match's start and a free flight's (the field's middle) lie clear of every landmark.
        m_landmarks.push_back({{spawn.x, spawnY, spawn.z}, 300.0f});
        m_landmarks.push_back({{0.0f, 0.0f, 0.0f}, 1000.0f});
        // The menu flight passes no landmark.
        if (record == "harbour")
            harbourLandmarks();
        else if (record == "longvalley")
            valleyLandmarks();
        else if (record == "cliffcoast")
            channelLandmarks();
        else if (record != "mainmenu")
            noticeLandmarks(extraNumber);
        // On the sea maps each side has its fleet off its field.
        if (record == "harbour" || record == "cliffcoast")
            for (std::size_t i = 0; i < m_fields.size() && i < 2; ++i) {
                const P f = m_fields[i], other = m_fields[m_fields.size() - 1 - i];
                fleet("fleet_" + std::to_string(i), static_cast<int>(i), {f.x + (other.x - f.x) * 0.25f, 0.0f,
                      f.z + (other.z - f.z) * 0.25f}, other);
            }
        // Flak around each base for the base and flag games.
        for (std::size_t i = 0; i < m_fields.size(); ++i)
            for (int k = 0; k < 2; ++k) {
                const P f = m_fields[i];
                const P p = land(f.x + (k ? 700.0f : -700.0f), f.z + 450.0f);
                object("flak_" + std::to_string(i) + "_" + std::to_string(k), "flakgun", 3, static_cast<int>(i),
                       p, 0.0f);
            }
        // Vehicles where the players fly: each side's trucks on a town's road
        // (the roads run to the first field), and a tank platoon by its base
        // (not where the tutorials fly, whose lessons count their own targets).
        if (record != "mainmenu" && record != "training" && !m_towns.empty())
            for (std::size_t i = 0; i < m_fields.size() && i < 2; ++i) {
                const P town = m_towns[std::min(i, m_towns.size() - 1)].second;
                convoy("convoy_" + std::to_string(i), static_cast<int>(i), town, m_fields[0]);
                const P f = m_fields[i];
                for (int k = 0; k < 3; ++k) {
                    const P p = land(f.x - 500.0f + 60.0f * k, f.z + 600.0f);
                    object("tank_" + std::to_string(i) + "_" + std::to_string(k), "tank", 5, static_cast<int>(i), p,
                           std::fmod(k * 35.0f, 360.0f));
                }
            }
        // The tutorials fly over the training field to the calm tune; the
        // matches fight to the combat one.
        if (record == "training")
            matchMusic(kPatrolMusic);
        else if (record != "mainmenu")
            matchMusic(kCombatMusic);
    } else {
        missionContent();
    }
    return std::move(m_out.text());
}

// Harbour Bay, on the islands: the harbour round the home field, the
// island sights on the others.
void MapBuilder::harbourLandmarks()
{
    const P home = m_fields[0], island = m_fields.size() > 1 ? m_fields[1] : m_fields[0];
    landmark("ACH_HARBOUR_RUNWAY", home, 700.0f);
    landmark("ACH_PACIFIC_RUNWAY", island, 700.0f);

    const P town = coast(home.x - 1800.0f, home.z - 1500.0f, 8.0f, 60.0f, 600.0f);
    village("harbour", town, 16);
    landmark("ACH_HARBOUR_VILLAGE", town, 600.0f);
    const P docks = coast(town.x, town.z + 1600.0f, 4.0f, 40.0f, 400.0f);
    if (const float* out = seaward(docks))
        row("dock_crane", kCrane, docks, headingOf(out[0], out[1]), 3, 45.0f, true);
    landmark("ACH_HARBOUR_CRANE", docks, 400.0f);
    const P seaplanes = coast(home.x, home.z - 3200.0f, 4.0f, 40.0f, 400.0f);
    if (const float* out = seaward(seaplanes))
        placedItem("seaplane_hangar", kHangar, seaplanes, headingOf(out[0], out[1]) + 90.0f);
    landmark("ACH_HARBOUR_HANGAR", seaplanes, 400.0f);
    const P fleet = openSea(home.x - 4200.0f, home.z + 200.0f, 500.0f);
    const char* ships[] = {"destroyer_ally.glm", "cargoship.glm", "destroyer_ally.glm"};
    for (int k = 0; k < 3; ++k)
        placedItem("fleet_" + std::to_string(k), ships[k], {fleet.x + 140.0f * (k - 1), 0.0f, fleet.z + 90.0f * (k - 1)},
                   20.0f);
    landmark("ACH_HARBOUR_FLEET", fleet, 500.0f);
    const P bayWreck = openSea(town.x - 1500.0f, town.z - 1500.0f, 400.0f);
    placedItem("bay_wreck", "destroyer.glm", bayWreck, 130.0f, 14.0f, 7.0f);
    landmark("ACH_HARBOUR_WRECK", bayWreck, 400.0f);
    // The wreck still smokes.
    effectPoint("wreck", {bayWreck.x, 0.0f, bayWreck.z});
    const P waterTower = spot(home.x - 900.0f, home.z - 2600.0f, 12.0f, 300.0f, 400.0f);
    placedItem("water_tower", kWaterTower, waterTower, 0.0f);
    landmark("ACH_HARBOUR_WATER_TOWER", waterTower, 400.0f);
    const P oil = spot(home.x + 1200.0f, home.z - 1800.0f, 12.0f, 200.0f, 400.0f);
    row("oil_tank", kOilTank, oil, 30.0f, 3, 40.0f);
    landmark("ACH_HARBOUR_OIL", oil, 400.0f);
    const P golf = spot(home.x + 2600.0f, home.z + 1800.0f, 20.0f, 250.0f, 450.0f);
    for (int k = 0; k < 3; ++k) {
        const float x = golf.x + 180.0f * (k - 1), z = golf.z + 120.0f * ((k % 2) ? 1.0f : -1.0f);
        placedItem("golf_green_" + std::to_string(k), kGolfGreen, {x, ground(x, z), z}, 40.0f * k);
    }
    landmark("ACH_HARBOUR_GOLF", golf, 450.0f);
    const P coastRadar = coast(home.x + 6500.0f, home.z + 300.0f, 8.0f, 120.0f, 400.0f);
    placedItem("coastal_radar", kRadar, coastRadar, 0.0f);
    landmark("ACH_HARBOUR_RADAR", coastRadar, 400.0f);

    // The other islands.
    const P islandRadar = spot(island.x + 1900.0f, island.z + 200.0f, 60.0f, 2000.0f, 400.0f);
    placedItem("island_radar", kRadar, islandRadar, 45.0f);
    landmark("ACH_PACIFIC_RADAR", islandRadar, 400.0f);
    const P sunken = openSea(-5200.0f, -6000.0f, 400.0f);
    placedItem("sunken_wreck", "cargoship.glm", sunken, 250.0f, -12.0f, 9.0f);
    landmark("ACH_PACIFIC_WRECK", sunken, 400.0f);
    const P jungle = spot(-8000.0f, -6000.0f, 40.0f, 700.0f, 450.0f);
    row("jungle_hangar", kHangar, jungle, 60.0f, 2, 70.0f);
    landmark("ACH_PACIFIC_HANGAR", jungle, 450.0f);
    const P fishing = coast(-6500.0f, 6200.0f, 8.0f, 60.0f, 500.0f);
    village("fishing", fishing, 10);
    landmark("ACH_PACIFIC_VILLAGE", fishing, 500.0f);
    const P watch = spot(-11000.0f, 2000.0f, 30.0f, 700.0f, 400.0f);
    placedItem("watchtower", kWatchtower, watch, 0.0f);
    landmark("ACH_PACIFIC_WATCHTOWER", watch, 400.0f);
    const P bridge = coast(10500.0f, 7300.0f, 2.0f, 20.0f, 400.0f);
    if (const float* out = seaward(bridge))
        placedItem("wooden_bridge", kWoodBridge, {bridge.x, 0.0f, bridge.z}, headingOf(out[0], out[1]));
    landmark("ACH_PACIFIC_BRIDGE", bridge, 400.0f);
    // Where the crater lake spills over its rim.
    const MapBasin* crater = m_plan.lakes.empty() ? nullptr : &m_plan.lakes[0];
    const float cx = crater ? crater->x : 1200.0f, cz = crater ? crater->z : 1600.0f;
    const float level = crater ? crater->level : 300.0f, reach = crater ? crater->radius : 500.0f;
    const P rim = find(cx + reach + 150.0f, cz, level - 150.0f, level + 150.0f, [&](const P& p) {
        const float d = std::hypot(p.x - cx, p.z - cz);
        return d > reach + 60.0f && d < reach + 1000.0f && clearOfLandmarks(p, 400.0f);
    });
    const auto [dx, dz] = downhill(rim);
    placedItem("waterfall", kWaterfall, rim, headingOf(dz, -dx));
    landmark("ACH_PACIFIC_WATERFALL", rim, 400.0f);
}

// Long Valley: bridges over the river, tunnels in the valley's walls, the
// church, the village and the radar up high.
void MapBuilder::valleyLandmarks()
{
    const P field = m_fields[0];
    landmark("ACH_HILLS_RUNWAY", field, 700.0f);
    const auto riverZ = [](float x) { return 900.0f * std::sin(x / 5200.0f) + 450.0f; };
    // The river runs along x: a bridge across it runs along z.
    const P gorge{-4600.0f, 0.0f, riverZ(-4600.0f)};
    placedItem("gorge_bridge", "bridge.glm", gorge, 90.0f);
    landmark("ACH_HILLS_BRIDGE_GORGE", gorge, 400.0f);
    const P small{8600.0f, 0.0f, riverZ(8600.0f)};
    placedItem("small_bridge", kWoodBridge, small, 90.0f);
    landmark("ACH_HILLS_BRIDGE_SMALL", small, 400.0f);

    const auto tunnel = [&](const char* key, const char* name, float x, float side, const char* model, float half) {
        float heading = 0.0f, top = 0.0f;
        const P at = find(x, riverZ(x) + side, 20.0f, 900.0f, [&](const P& p) {
            return clearOfLandmarks(p, 400.0f) && tunnelBed(p, half, heading, top);
        });
        tunnelBed(at, half, heading, top);
        item(name, 21, model, {at.x, top + kTunnelAboveGround, at.z}, heading);
        landmark(key, at, 400.0f);
    };
    tunnel("ACH_HILLS_TUNNEL_BRIDGE", "tunnel_bridge", gorge.x, -2400.0f, kTunnel, 110.0f);
    tunnel("ACH_HILLS_TUNNEL_CLIFFS", "tunnel_cliffs", 2200.0f, 2600.0f, kTunnel, 110.0f);
    tunnel("ACH_HILLS_TUNNEL_LONG", "tunnel_long", -12000.0f, -2600.0f, kLongTunnel, 254.0f);

    const P church = spot(-300.0f, riverZ(-300.0f) - 3000.0f, 350.0f, 1200.0f, 400.0f);
    placedItem("hilltop_church", kChurch, church, 20.0f);
    landmark("ACH_HILLS_CHURCH", church, 400.0f);
    const P mountain = spot(-6500.0f, riverZ(-6500.0f) + 3600.0f, 500.0f, 1600.0f, 500.0f);
    village("mountain", mountain, 10);
    landmark("ACH_HILLS_VILLAGE", mountain, 500.0f);
    const P top = summit();
    placedItem("summit_radar", kRadar, top, 0.0f);
    landmark("ACH_HILLS_RADAR", top, 400.0f);
}

// Cliff Coast: the English side round the home field, the French one round
// the enemy's, and the water between.
void MapBuilder::channelLandmarks()
{
    const P england = m_fields[0], france = m_fields.size() > 1 ? m_fields[1] : m_fields[0];
    landmark("ACH_CHANNEL_RUNWAY", england, 700.0f);
    landmark("ACH_CHANNEL_HANGAR_GE", france, 700.0f);
    // Mid-channel, wide: crossed on any way over.
    const P crossing = openSea((england.x + france.x) * 0.5f, -700.0f, 1100.0f);
    landmark("ACH_CHANNEL_CROSSING", crossing, 1100.0f);

    const P masts = coast(7500.0f, 2600.0f, 40.0f, 300.0f, 400.0f);
    placedItem("radar_masts", kRadarMasts, masts, 0.0f);
    landmark("ACH_CHANNEL_RADAR_UK", masts, 400.0f);
    const P cliffs = coast(-1500.0f, 2300.0f, 70.0f, 400.0f, 450.0f);
    landmark("ACH_CHANNEL_HILLS", cliffs, 450.0f);
    const P castle = coast(3200.0f, 2500.0f, 60.0f, 400.0f, 400.0f);
    placedItem("castle", kCastle, castle, 10.0f);
    landmark("ACH_CHANNEL_CASTLE_UK", castle, 400.0f);
    // Low shore is rare under the English cliffs: the river's mouth has it.
    const P cranes = find(-5800.0f, 2300.0f, 3.0f, 60.0f, [&](const P& p) {
        return p.z > england.z * 0.2f && clearOfLandmarks(p, 400.0f) && seaward(p) != nullptr;
    });
    if (const float* out = seaward(cranes))
        row("dock_crane", kCrane, cranes, headingOf(out[0], out[1]), 3, 45.0f, true);
    landmark("ACH_CHANNEL_CRANES_UK", cranes, 400.0f);
    const P englishVillage = spot(6500.0f, 5200.0f, 15.0f, 500.0f, 500.0f);
    village("english", englishVillage, 12);
    landmark("ACH_CHANNEL_VILLAGE_UK", englishVillage, 500.0f);
    const P cathedral = spot(-1500.0f, 10500.0f, 15.0f, 500.0f, 400.0f);
    placedItem("cathedral", kCathedral, cathedral, 0.0f);
    landmark("ACH_CHANNEL_CATHEDRAL", cathedral, 400.0f);

    const P lighthouse = coast(4500.0f, -3600.0f, 10.0f, 200.0f, 400.0f);
    placedItem("lighthouse", kLighthouse, lighthouse, 0.0f);
    landmark("ACH_CHANNEL_LIGHTHOUSE", lighthouse, 400.0f);
    const P enemyRadar = spot(france.x + 3000.0f, france.z + 2200.0f, 15.0f, 900.0f, 400.0f);
    placedItem("enemy_radar", kRadar, enemyRadar, 180.0f);
    landmark("ACH_CHANNEL_RADAR_GE", enemyRadar, 400.0f);
    const P frenchVillage = spot(-7000.0f, -6000.0f, 15.0f, 900.0f, 500.0f);
    village("french", frenchVillage, 12);
    landmark("ACH_CHANNEL_VILLAGE_FR", frenchVillage, 500.0f);
    // The village across the water burns from the last raid.
    effectPoint("village", frenchVillage);
}

void MapBuilder::noticeLandmarks(int& number)
{
    for (const auto& [name, t] : m_towns)
        landmark(number++, ("LANDMARK_" + upper(name)).c_str(), t, 900.0f);
    for (const MapBasin& lake : m_plan.lakes)
        landmark(number++, ("LANDMARK_" + upper(lake.name)).c_str(), {lake.x, lake.level, lake.z},
                 lake.radius + 300.0f);
}

void MapBuilder::missionContent()
{
    const P home = m_fields[0], enemy = m_fields.size() > 1 ? m_fields[1] : m_fields[0];
    const float toEnemy = std::atan2(-(enemy.z - home.z), enemy.x - home.x) * 180.0f / kPi;
    char extra[256];
    std::snprintf(extra, sizeof extra, "player true squadron \"blue\" skill 1");
    object("player", m_layout.friendPlane, 0, 0, {home.x, groundOrWater(home.x, home.z) + 1200.0f, home.z},
           toEnemy - 90.0f, extra);
    for (int k = 0; k < 2; ++k)
        object("wingman_" + std::to_string(k), m_layout.friendPlane, 0, 0,
               {home.x + (k ? 120.0f : -120.0f), groundOrWater(home.x, home.z) + 1180.0f, home.z + 150.0f},
               toEnemy - 90.0f, "squadron \"blue\" skill 0.6");

    std::string targets;  // the objective's objects
    int count = 0;
    auto add = [&](const std::string& name, const char* unit, int kind, int team, P p, const char* more = "") {
        object(name, unit, kind, team, p, std::fmod(count * 47.0f, 360.0f), more);
        if (team == 1) {
            targets += (targets.empty() ? "" : " ") + name;
            ++count;
        }
    };
    auto planes = [&](const char* stem, const char* unit, int n, P around, float above, const char* path) {
        for (int k = 0; k < n; ++k) {
            char more[160];
            std::snprintf(more, sizeof more, "squadron \"%s\" skill %.2f path \"%s\"", stem, 0.4f + 0.1f * (k % 3), path);
            add(std::string(stem) + "_" + std::to_string(k), unit, 0, 1,
                {around.x + 150.0f * k, groundOrWater(around.x, around.z) + above + 40.0f * k, around.z - 100.0f * k},
                more);
        }
    };
    auto ground = [&](const char* stem, const char* unit, int kind, int n, P around, float spread, bool water) {
        for (int k = 0; k < n; ++k) {
            const float a = k * 2.39996f, r = spread * std::sqrt(static_cast<float>(k) + 0.5f);
            const P p = water ? sea(around.x + r * std::cos(a), around.z + r * std::sin(a))
                              : land(around.x + r * std::cos(a), around.z + r * std::sin(a));
            add(std::string(stem) + "_" + std::to_string(k), unit, kind, 1, p);
        }
    };
    std::string friends;
    const P mid{(home.x + enemy.x) * 0.5f, 0.0f, (home.z + enemy.z) * 0.5f};
    switch (m_layout.mission) {
    case Mission::Air:
        // A campaign's first mission meets one airplane fewer.
        planes("red", m_layout.enemyPlane, m_layout.index == 0 ? 3 : 4, mid, 1500.0f, "patrol");
        break;
    case Mission::Convoy:
    case Mission::Cover:
        for (int k = 0; k < 3; ++k) {
            const P p = sea(mid.x + k * 400.0f, mid.z + k * 150.0f);
            const std::string name = "convoy_" + std::to_string(k);
            object(name, m_layout.mission == Mission::Cover ? "navalunit" : "cargoship",
                   m_layout.mission == Mission::Cover ? 9 : 10, 0, p, 90.0f);
            friends += (friends.empty() ? "" : " ") + name;
        }
        planes("bombers", m_layout.enemyPlane, 4, enemy, 1200.0f, "front");
        break;
    case Mission::Towers:
        ground("radar", "tower", 2, 4, enemy, 600.0f, false);
        ground("guard", "flakgun", 3, 2, enemy, 900.0f, false);
        break;
    case Mission::Bridge: {
        const auto& river = m_plan.rivers.empty() ? std::vector<std::pair<float, float>>{{mid.x, mid.z}}
                                                  : m_plan.rivers[0].points;
        const auto& at = river[river.size() / 2];
        add("target_bridge", "bridge", 2, 1, {at.first, 0.0f, at.second});
        ground("guard", "flakgun", 3, 3, {at.first, 0.0f, at.second}, 500.0f, false);
        break;
    }
    case Mission::Airfield:
        ground("hangars", "hangar", 2, 3, enemy, 250.0f, false);
        add("control", "tower", 2, 1, land(enemy.x + 300.0f, enemy.z + 200.0f));
        planes("cover", m_layout.enemyPlane, 2, enemy, 900.0f, "front");
        break;
    case Mission::Ships:
        ground("freighter", "cargoship", 10, 4, mid, 500.0f, true);
        // The convoy's escort: beside the objective, for whoever takes it on.
        fleet("escort", 1, {mid.x - 1500.0f, 0.0f, mid.z + 900.0f}, home);
        break;
    case Mission::Flak:
        ground("flak", "flakgun", 3, 6, enemy, 500.0f, false);
        break;
    case Mission::Headquarters:
        add("headquarters", "hq", 6, 1, land(enemy.x - 600.0f, enemy.z - 500.0f));
        ground("guard", "flakgun", 3, 3, enemy, 700.0f, false);
        planes("cover", m_layout.enemyPlane, 3, enemy, 1100.0f, "front");
        break;
    case Mission::Tanks:
        ground("column", "tank", 5, 5, mid, 260.0f, false);
        ground("supply", "truck", 4, 3, mid, 400.0f, false);
        break;
    case Mission::Destroyers:
        ground("blockade", "navalunit", 9, 4, mid, 600.0f, true);
        for (int k = 0; k < 2; ++k) {
            const P sub = shipWater(mid.x + (k ? 1200.0f : -1200.0f), mid.z - 600.0f, 45.0f);
            object("blockade_submarine_" + std::to_string(k), "submarine", 8, 1, sub, 90.0f);
            m_landmarks.push_back({sub, 300.0f});  // apart from each other
        }
        break;
    case Mission::None:
        break;
    }
    // A second wave joins when half of the first is gone.
    std::string wave;
    for (int k = 0; k < 2; ++k) {
        char more[160];
        std::snprintf(more, sizeof more, "squadron \"wave\" skill 0.6 path \"patrol\" spawn 1 active false");
        const std::string name = "wave_" + std::to_string(k);
        object(name, m_layout.enemyPlane, 0, 1,
               {enemy.x + 300.0f * k, groundOrWater(enemy.x, enemy.z) + 1600.0f, enemy.z}, 0.0f, more);
        wave += (wave.empty() ? "" : " ") + name;
    }

    // The market town near the front burns from the start.
    for (const auto& [name, at] : m_towns)
        if (name == "market")
            effectPoint("market", at);
    // Over home waters a downed pilot is picked up, so in the ship missions
    // the ships count and the pilot's loss does not end the mission, until
    // the enemy's airspace, where no boat comes.
    const bool rescue = m_layout.mission == Mission::Convoy || m_layout.mission == Mission::Cover;

    char title[64];
    std::snprintf(title, sizeof title, "MAP_C%dM%d_DESC", m_layout.campaign + 1, m_layout.index + 1);
    for (const StoryComic& story : kStoryComics)
        if (std::string_view(story.record) == m_layout.record) {
            m_out.line("MapTrigger { name \"story\" condition Timer delay 1 exec [");
            m_out.line("    TriggerAction { type Comic text \"%s\" }", story.comic);
            m_out.line("] }");
        }
    // The flight out to the calm tune.
    matchMusic(kPatrolMusic);
    m_out.line("MapTrigger { name \"intro\" condition Timer delay 2 exec [");
    m_out.line("    TriggerAction { type Notice text \"%s\" value 6 }", title);
    if (rescue) {
        m_out.line("    TriggerAction { type AllowLoss }");
        m_out.line("    TriggerAction { type Notice text \"MISSION_HOME_WATERS\" value 5 }");
        m_out.line("    TriggerAction { type Enable target \"rescued\" }");
    }
    m_out.line("    TriggerAction { type Objective target \"goal\" }");
    // The HUD points the way to the front; the pause page gives its distance.
    m_out.line("    TriggerAction { type Waypoint target \"front_line\" }");
    if (m_layout.mission == Mission::Cover) {
        m_out.line("    TriggerAction { type Countdown value 300 text \"COUNTDOWN_RELIEF\" }");
    }
    m_out.line("] }");
    m_out.line("MapTrigger { name \"goal\" kind Objective enabled false condition Destroyed objects \"%s\" exec [",
               targets.c_str());
    m_out.line("    TriggerAction { type ClearMessages }");
    m_out.line("    TriggerAction { type StopMusic }");
    m_out.line("    TriggerAction { type Notice text \"MISSION_OBJECTIVES_DONE\" value 5 target \"2\" }");
    m_out.line("    TriggerAction { type Win }");
    m_out.line("] }");
    // Where the targets stand: the smoke of the first ones down rises there.
    P targetArea = mid;
    switch (m_layout.mission) {
    case Mission::Towers:
    case Mission::Airfield:
    case Mission::Flak:
    case Mission::Headquarters:
        targetArea = enemy;
        break;
    default:
        break;
    }
    targetArea.y = groundOrWater(targetArea.x, targetArea.z);
    m_out.line("MapTrigger { name \"halfway\" pos %.1f %.1f %.1f condition Count total %d objects \"%s\" exec [",
               targetArea.x, targetArea.y, targetArea.z, std::max(1, count / 2), targets.c_str());
    // The wave is in play before the checkpoint, so a resumed mission has it too.
    m_out.line("    TriggerAction { type Notice text \"MISSION_CHECKPOINT\" value 4 }");
    m_out.line("    TriggerAction { type Sound text \"%s\" }", kDangerSting);
    m_out.line("    TriggerAction { type Music text \"%s\" value 1 }", kCombatMusic);
    m_out.line("    TriggerAction { type Effect text \"%s\" }", kSmokeEffect);
    m_out.line("    TriggerAction { type Spawn target \"%s\" }", wave.c_str());
    m_out.line("    TriggerAction { type Checkpoint }");
    m_out.line("] }");
    if (!friends.empty()) {
        m_out.line("MapTrigger { name \"convoy_lost\" condition Destroyed objects \"%s\" exec [", friends.c_str());
        m_out.line("    TriggerAction { type StopMusic }");
        m_out.line("    TriggerAction { type Fail value %d }", kFailConvoyText);
        m_out.line("] }");
    }
    if (m_layout.mission == Mission::Cover) {
        m_out.line("MapTrigger { name \"relief\" condition Timer delay 302 exec [");
        m_out.line("    TriggerAction { type HideCountdown }");
        m_out.line("    TriggerAction { type StopMusic }");
        m_out.line("    TriggerAction { type Notice text \"MISSION_RELIEF_ARRIVED\" value 5 target \"4\" }");
        m_out.line("    TriggerAction { type Win }");
        m_out.line("] }");
    }
    // Entering the enemy's airspace brings in the weather of the front.
    m_out.line("MapTrigger { name \"front_line\" shape Cylinder pos %.1f 0 %.1f radius 3500 size 1 8000 1 "
               "condition Enter exec [",
               enemy.x, enemy.z);
    m_out.line("    TriggerAction { type Notice text \"MISSION_ENEMY_AIRSPACE\" value 4 target \"3\" }");
    m_out.line("    TriggerAction { type Music text \"%s\" value 1 }", kCombatMusic);
    if (rescue) {
        m_out.line("    TriggerAction { type ForbidLoss }");
        m_out.line("    TriggerAction { type Notice text \"MISSION_NO_RESCUE\" value 4 target \"3\" }");
        m_out.line("    TriggerAction { type Disable target \"rescued\" }");
    }
    m_out.line("] }");
    if (rescue) {
        // Down over home waters: picked up, and a little later back in the
        // air from the start. Each arms the other again, so every loss over
        // home waters is a rescue until the front line takes that away.
        m_out.line("MapTrigger { name \"rescued\" enabled false condition Lost exec [");
        // The news of the rescue goes before what the flight had still queued.
        m_out.line("    TriggerAction { type ClearMessages }");
        m_out.line("    TriggerAction { type Notice text \"MISSION_PILOT_RESCUED\" value 6 }");
        m_out.line("    TriggerAction { type Disable target \"back_up\" }");
        m_out.line("    TriggerAction { type Enable target \"back_up\" }");
        m_out.line("] }");
        m_out.line("MapTrigger { name \"back_up\" enabled false condition Timer delay 8 exec [");
        m_out.line("    TriggerAction { type Spawn target \"player\" }");
        m_out.line("    TriggerAction { type Notice text \"MISSION_BACK_IN_THE_AIR\" value 5 }");
        m_out.line("    TriggerAction { type Disable target \"rescued\" }");
        m_out.line("    TriggerAction { type Enable target \"rescued\" }");
        m_out.line("] }");
    }
}

bool buildMaps(DataContext& context)
{
    int extraNumber = kLandmarkCount;
    for (const MapLayout& layout : kMaps) {
        const MapWorldPlan* plan = findMapWorldPlan(layout.terrain);
        const Terrain* terrain = mapWorldTerrain(layout.terrain);
        if (!plan || !terrain) {
            context.error(std::string("map ") + layout.record + ": no terrain \"" + layout.terrain + "\"");
            return false;
        }
        MapBuilder builder(layout, *plan, *terrain);
        if (!context.writeFile(std::string("data/maps/") + layout.record + ".edt", builder.build(extraNumber)))
            return false;
    }
    return true;
}

}  // namespace

SKYFRONT_DATA_STEP(630, "maps", buildMaps);
