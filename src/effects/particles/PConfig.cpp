#include "effects/particles/PConfig.h"

#include "effects/EffectScene.h"
#include "platform/File.h"
#include "platform/Log.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {
constexpr SerEnumValue kBlendNames[] = {{0, "ADDI"}, {1, "ADAL"}, {2, "BLND"}, {3, "NORM"}};
constexpr SerEnumValue kTypeNames[] = {{0, "CAM"}, {1, "VER"}, {2, "HRZ"}, {3, "HTR"}};
constexpr SerEnumValue kSoundNames[] = {
    {0, "FXS_EXPL_AIR_BIG"},   {1, "FXS_EXPL_AIR_SMALL"}, {2, "FXS_EXPL_TERRAIN"},
    {3, "FXS_EXPL_WATER_BIG"}, {4, "FXS_EXPL_WATER_SMALL"}, {5, "FXS_EXPL_SHIP"},
    {6, "FXS_SND_1"},          {7, "FXS_SND_2"},            {8, "FXS_SND_3"},
};

struct CacheEntry {
    bool used = false;
    std::string name;
    PConfig config;
};

// Entries keep their addresses for the whole run: systems point into them.
std::array<CacheEntry, kParticleConfigCacheSize>& cache()
{
    static auto* entries = new std::array<CacheEntry, kParticleConfigCacheSize>;
    return *entries;
}

// The path of a name under a folder; false when it does not fit the buffer.
bool formatPath(char (&buffer)[kParticlePathBytes], const char* folder, std::string_view name)
{
    const int written = std::snprintf(buffer, sizeof buffer, "%s%.*s", folder, static_cast<int>(name.size()),
                                      name.data());
    return written > 0 && static_cast<std::size_t>(written) < sizeof buffer;
}

std::unique_ptr<File> openDescription(std::string_view name)
{
    char path[kParticlePathBytes];
    if (name.find('\0') != std::string_view::npos)
        return nullptr;
    if (effectHighDetail() && formatPath(path, "data/FX/NV/", name)) {
        if (auto file = openFile(path))
            return file;
    }
    if (!formatPath(path, "data/FX/", name)) {
        logWarning("effects", "particle description name too long: %.40s...", std::string(name).c_str());
        return nullptr;
    }
    return openFile(path);
}
}  // namespace

void PStage::describe(SerMembers& m)
{
    m.add("blend", blend, kBlendNames);
    m.add("sizeMin", sizeMin);
    m.add("sizeMax", sizeMax);
    m.add("aspectMin", aspectMin);
    m.add("aspectMax", aspectMax);
    m.add("lifeMin", lifeMin);
    m.add("lifeMax", lifeMax);
    m.add("rotSpeedMin", rotSpeedMin);
    m.add("rotSpeedMax", rotSpeedMax);
    m.add("speedMin", speedMin);
    m.add("speedMax", speedMax);
    m.add("colorMin", colorMin);
    m.add("colorMax", colorMax);
    m.add("childTime", childTime);
}

void PGroup::describe(SerMembers& m)
{
    m.add("enabled", enabled);
    m.add("type", type, kTypeNames);
    m.add("animIdMin", animIdMin);
    m.add("animIdMax", animIdMax);
    m.add("animTime", animTime);
    m.add("animLightMap", animLightMap);
    m.add("spawnInterval", spawnInterval);
    m.add("spawnDelay", spawnDelay);
    m.add("countMin", countMin);
    m.add("countMax", countMax);
    m.add("rotStartMin", rotStartMin);
    m.add("rotStartMax", rotStartMax);
    m.add("angleMin", angleMin);
    m.add("angleMax", angleMax);
    m.add("emitDir", emitDir);
    m.add("posMin", posMin);
    m.add("posMax", posMax);
    m.add("gravity", gravity);
    m.add("childGrp", childGrp);
    m.add("childGrp2", childGrp2);
    m.add("maxChildCountGrp1", maxChildCountGrp1);
    m.add("maxChildCountGrp2", maxChildCountGrp2);
    m.add("capAlpha", capAlpha);
    m.add("inheritDirection", inheritDirection);
    m.add("inheritFixedParent", inheritFixedParent);
    m.add("priority", priority);
    m.add("name", name);
    m.add("stages", stages);
}

void PConfig::describe(SerMembers& m)
{
    m.add("sizeScale", sizeScale);
    m.add("timeScale", timeScale);
    m.add("timeSkip", timeSkip);
    m.add("soundID", soundID, kSoundNames);
    m.add("soundDelay", soundDelay);
    m.add("soundLoop", soundLoop);
    m.add("foggy", foggy);
    m.add("occludeScreen", occludeScreen);
    m.add("debrisOil", debrisOil);
    m.add("debrisWater", debrisWater);
    m.add("debrisSparks", debrisSparks);
    m.add("groups", groups);
}

void PConfig::reset()
{
    sizeScale = 1.0f;
    timeScale = 1.0f;
    timeSkip = 0.0f;
    soundID = -1;
    soundDelay = 0.0f;
    soundLoop = false;
    foggy = true;
    occludeScreen = false;
    debrisOil = 0.0f;
    debrisWater = 0.0f;
    debrisSparks = 0.0f;
    groups.clear();
    loaded = false;
}

void PConfig::buildEmitters()
{
    for (int i = 0; i < groups.count(); ++i) {
        PGroup& group = *groups.at(i);
        group.emitter = emitterMatrix(group.emitDir);
    }
}

Mat4 emitterMatrix(const Vec3& direction)
{
    Vec3 d = direction;
    vec3Normalize(d);
    const Vec3 a = std::fabs(d.y) > 0.75f ? Vec3{0.0f, 0.0f, -1.0f} : Vec3{0.0f, 1.0f, 0.0f};
    const Vec3 c = vec3CrossB(a, d);
    Mat4 m;
    const Vec3 rows[3] = {a, d, c};
    for (int r = 0; r < 3; ++r) {
        m.m[0 + r] = rows[r].x;
        m.m[4 + r] = rows[r].y;
        m.m[8 + r] = rows[r].z;
    }
    return m;
}

Vec3 matrixRow(const Mat4& m, int row)
{
    return {m.m[0 + row], m.m[4 + row], m.m[8 + row]};
}

PConfig* getParticleConfig(std::string_view name)
{
    auto& entries = cache();
    for (CacheEntry& entry : entries) {
        if (entry.used && entry.name == name)
            return &entry.config;
    }
    CacheEntry* free = nullptr;
    for (CacheEntry& entry : entries) {
        if (!entry.used) {
            free = &entry;
            break;
        }
    }
    if (!free) {
        LOG_WARNING_ONCE("effects", "more than %d particle descriptions requested", kParticleConfigCacheSize);
        return nullptr;
    }
    free->used = true;
    free->name = std::string(name);
    free->config.reset();
    if (std::unique_ptr<File> file = openDescription(name)) {
        free->config.loaded = free->config.loadFile(*file);
        free->config.buildEmitters();
    }
    return &free->config;
}

void freeParticleConfigs()
{
    for (CacheEntry& entry : cache()) {
        entry.used = false;
        entry.name.clear();
        entry.config.reset();
    }
}
