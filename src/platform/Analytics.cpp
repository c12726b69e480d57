#include "platform/Analytics.h"

#include "platform/Log.h"

namespace {
std::string& params()
{
    static std::string text;
    return text;
}

void setParams(std::string text)
{
    params() = std::move(text);
    logInfo("analytics", "event parameters %s", params().c_str());
}
}  // namespace

namespace Analytics {

void setMissionPlaneParams(int campaign, int mission, int planeId)
{
    setParams("CAMPAIGN=" + std::to_string(campaign) + " MISSION=" + std::to_string(mission) +
              " PLANE=" + std::to_string(planeId));
}

void setDogfightParams(int dogfight, int planeId)
{
    setParams("DOGFIGHT=" + std::to_string(dogfight) + " PLANE=" + std::to_string(planeId));
}

void setUnlockedPlaneParams(int planeId)
{
    setParams("UNLOCKED_PLANE=" + std::to_string(planeId));
}

const std::string& eventParams()
{
    return params();
}

void clearEventParams()
{
    params().clear();
}

}  // namespace Analytics
