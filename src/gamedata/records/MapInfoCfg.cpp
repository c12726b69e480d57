#include "gamedata/records/MapInfoCfg.h"

#include "gamedata/records/RecordFile.h"
#include "platform/Language.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>

void MapInfoCfg::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("title", title);
    members.add("description", description);
    members.add("watermap", watermap);
    members.add("index", index);
    members.add("menuSprite", menuSprite);
    members.add("menuFrame", menuFrame);
    members.add("campaign_id", campaign_id);
    members.add("teamFriend", teamFriend);
    members.add("teamEnemy", teamEnemy);
    members.add("teamNeutral", teamNeutral);
    members.add("preferedPlane", preferedPlane);
    members.add("briefing_string", briefing_string);
    members.add("comicEnd", comicEnd);
    members.add("rainProb", rainProb);
    members.add("snowProb", snowProb);
    members.add("goldTime", goldTime);
    members.add("silverTime", silverTime);
    members.add("goldTimeAce", goldTimeAce);
    members.add("silverTimeAce", silverTimeAce);
    members.add("terrain", terrain);
    members.add("missionPoints", missionPoints);
    members.add("difficulty", difficulty);
    members.add("treeCount", treeCount);
    members.add("treeFile", treeFile);
    members.add("cloudAmount", cloudAmount);
    members.add("water", water);
    members.add("fogStart", fogStart);
    members.add("sunValue", sunValue);
}

namespace {
float clampFinite(float value, float low, float high, float fallback)
{
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}
}  // namespace

bool isSideCode(std::string_view code)
{
    for (std::string_view known : {"EN", "US", "JP", "DE", "RU", "AU", "BLUE", "RED"})
        if (code == known)
            return true;
    return code.empty();
}

bool MapInfoCfg::validate(std::string& error)
{
    if (terrain.empty()) {
        error = "no \"terrain\"";
        return false;
    }
    for (const std::string* side : {&teamFriend, &teamEnemy, &teamNeutral}) {
        if (!isSideCode(*side)) {
            error = "unknown side code \"" + *side + "\"";
            return false;
        }
    }
    // The damage rule divides by these.
    difficulty.x = clampFinite(difficulty.x, kMinDifficulty, 10.0f, 0.5f);
    difficulty.y = clampFinite(difficulty.y, kMinDifficulty, 10.0f, 0.5f);
    difficulty.z = clampFinite(difficulty.z, kMinDifficulty, 10.0f, 0.5f);
    rainProb = clampFinite(rainProb, 0.0f, 100.0f, 0.0f);
    snowProb = clampFinite(snowProb, 0.0f, 100.0f, 0.0f);
    cloudAmount = clampFinite(cloudAmount, 0.0f, 1.0f, 0.3f);
    sunValue = clampFinite(sunValue, 0.04f, 0.96f, 0.5f);
    fogStart = clampFinite(fogStart, 0.0f, 1.0e6f, 3000.0f);
    water = clampFinite(water, 0.0f, 1.0f, 0.5f);
    treeCount = std::clamp(treeCount, 0, 1 << 20);
    missionPoints = std::max(missionPoints, 0);
    for (int* time : {&goldTime, &silverTime, &goldTimeAce, &silverTimeAce})
        *time = std::max(*time, 0);
    menuFrame = std::max(menuFrame, 0);
    return true;
}

bool MapInfoCfg::loadFromFile(MapInfoCfg& record, std::string_view path)
{
    return loadFromFile(record, path, findStringTable());
}

bool MapInfoCfg::loadFromFile(MapInfoCfg& record, std::string_view path, const StringTable& texts)
{
    MapInfoCfg loaded;
    std::string error;
    if (!loadRecordFile(loaded, path, error)) {
        logWarning("gamedata", "%s; record skipped", error.c_str());
        return false;
    }
    if (!loaded.validate(error)) {
        logWarning("gamedata", "%.*s: %s; record skipped", int(path.size()), path.data(), error.c_str());
        return false;
    }
    loaded.briefingId = std::max(resolveTextKey(texts, loaded.briefing_string), 0);
    record = loaded;
    return true;
}
