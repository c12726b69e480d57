#pragma once
#include "ui/widgets/HMenuItemsSlider.h"

// The two pages of the campaign pause: a carousel of the page's size at the
// top left corner that lets them be dragged a fifth of its width past an end.
class PauseCampaignSlider : public HMenuItemsSlider {
public:
    PauseCampaignSlider(float w, float h);
};
