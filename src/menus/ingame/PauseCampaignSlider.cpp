#include "menus/ingame/PauseCampaignSlider.h"

PauseCampaignSlider::PauseCampaignSlider(float w, float h)
{
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    x = y = 0;
    edgeLimit = static_cast<int>(w) / 5;
}
