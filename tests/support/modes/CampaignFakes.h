#pragma once
#include "modes/ModeHooks.h"
#include "modes/ModeServices.h"

#include <string>
#include <utility>
#include <vector>

// Stand-ins for the pages, overlays and achievements a campaign mission
// reaches above the modes library. Every call lands in one log, in order.
class CampaignPages : public IModeEndPages, public IModeOverlays, public IModeProgress {
public:
    std::vector<std::string> log;
    std::vector<int> events;
    std::vector<int> failures;
    std::vector<std::string> comics;
    int results = 0;
    bool comicLoads = true;

    void showCampaignFailure(int textId) override
    {
        failures.push_back(textId);
        log.push_back("failure " + std::to_string(textId));
    }
    bool showEndComic(const std::string& path) override
    {
        comics.push_back(path);
        log.push_back(comicLoads ? "comic" : "comic refused");
        return comicLoads;
    }
    void showMissionResult() override
    {
        ++results;
        log.push_back("result");
    }
    void openPauseScreen(PauseMenu menu) override { log.push_back("pause " + std::to_string(static_cast<int>(menu))); }
    void closeOverlay() override { log.push_back("close"); }
    void countEvent(int eventId) override
    {
        events.push_back(eventId);
        log.push_back("event " + std::to_string(eventId));
    }
    // The statistics events' parameters: {plane id, medal or -1}.
    std::vector<std::pair<int, int>> missionParams, medalParams, checkpointParams;
    void setMissionEventParams(int planeId) override { missionParams.emplace_back(planeId, -1); }
    void setMedalEventParams(int planeId, int medal) override { medalParams.emplace_back(planeId, medal); }
    void setCheckpointEventParams(int planeId) override { checkpointParams.emplace_back(planeId, -1); }
    bool counted(int eventId) const
    {
        for (int e : events)
            if (e == eventId)
                return true;
        return false;
    }

    ModeServices services() { return ModeServices{nullptr, nullptr, this, this}; }
};
