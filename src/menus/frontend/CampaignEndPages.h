#pragma once
#include "modes/ModeServices.h"

#include <functional>

class MenuFrame;

// The pages a won or lost campaign mission leads to, as the menus show them
// over the game on the pause screen. Only the end comic is built here; the
// failure and result pages join through their hooks.
class CampaignEndPages : public IModeEndPages {
public:
    static CampaignEndPages& instance();

    void showCampaignFailure(int textId) override;
    // Loads the comic with the end that leads on to the result page and opens
    // it on the pause screen; false when it has no slide to show.
    bool showEndComic(const std::string& path) override;
    void showMissionResult() override;
    // A comic during play (a map's comic action): its end goes back to the game.
    bool showPlayComic(const std::string& path);

    // The page showing a mission's failure, and the result page of a won one.
    std::function<void(int textId)> failurePage;
    std::function<MenuFrame*()> resultPage;
};
