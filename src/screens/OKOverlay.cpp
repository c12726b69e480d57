#include "screens/OKOverlay.h"

#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

namespace {
// The menus' three-part button, at least the OK button's width, its label
// centred.
class WideButton final : public ResizableButton {
public:
    using ResizableButton::ResizableButton;
    void updateLabel() override
    {
        ResizableButton::updateLabel();
        const int minimum = static_cast<int>(static_cast<float>(OKOverlay::kButtonWidth) * screenMetrics().uiScale);
        if (width >= minimum)
            return;
        labelX += (minimum - width) / 2;
        width = minimum;
    }
};
}  // namespace

OKOverlay& OKOverlay::instance()
{
    static OKOverlay* overlay = new OKOverlay();   // lives as long as the menus
    return *overlay;
}

void OKOverlay::hide()
{
    instance().visible = false;
}

OKOverlay::OKOverlay()
{
    const ScreenMetrics& m = screenMetrics();
    const int h = m.halfHeight;
    auto* wide = new WideButton(std::u16string_view(u"NO"));
    wide->labelStringId = kButtonString;
    wide->setup(kButtonLeft, kButtonMiddle, kButtonRight, kButtonFont);
    button = wide;
    button->anchorMode = kAnchorAbsolute;
    button->alignment = kAlignLeft | kAlignTop;
    button->x = m.halfWidth - button->width / 2;
    button->y = h + static_cast<int>(60.0f * m.uiScale) - button->height / 2;
    button->onClick = [] { OKOverlay::hide(); };
    button->focusable = true;
    button->touchMargin = kTouchMargin;   // a near miss still presses

    label = new SpriteLabel(1, m.halfWidth, nullptr, std::u16string_view(u"DUMMY"));
    label->textFlags = CFont::kCentreX | CFont::kCentreY;
    label->setWrappedText(kLabelString, m.halfWidth);
    label->anchorMode = kAnchorAbsolute;
    label->x = m.halfWidth;
    label->y = h - 3 * h / 16;

    addItem(label);
    addItem(button);
    layout(0, 0);
    focusedItem = button;
}

void OKOverlay::update()
{
    if (visible)
        button->update();
}

void OKOverlay::draw()
{
    if (!visible)
        return;
    const ScreenMetrics& m = screenMetrics();
    const float h = static_cast<float>(m.halfHeight);
    CSprite* menus = getSprite(kSpriteSetMenus);
    menus->drawNinePatch(kPanelFrame, m.screenWidth / 4.0f, h - 3.0f * h / 8.0f, static_cast<float>(m.halfWidth),
                         3.0f * h / 4.0f);
    MenuFrame::draw();
}

bool OKOverlay::onTouchDown(int x, int y)
{
    if (!visible || !button->contains(x, y, kTouchMargin))
        return false;
    return button->onTouchDown(x, y);
}

bool OKOverlay::onTouchUp(int x, int y)
{
    return visible && button->onTouchUp(x, y);
}
