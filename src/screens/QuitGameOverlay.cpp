#include "screens/QuitGameOverlay.h"

#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <utility>

namespace {
ResizableButton* makeButton(int stringId, MenuAction press)
{
    auto* button = new ResizableButton(stringId);
    button->setup(QuitGameOverlay::kButtonLeft, QuitGameOverlay::kButtonMiddle, QuitGameOverlay::kButtonRight,
                  QuitGameOverlay::kButtonFont);
    button->anchorMode = MenuItem::kAnchorAbsolute;
    button->alignment = MenuItem::kAlignLeft | MenuItem::kAlignTop;
    button->focusable = true;
    button->onClick = std::move(press);
    button->touchMargin = QuitGameOverlay::kTouchMargin;   // a near miss still presses
    return button;
}
}  // namespace

QuitGameOverlay& QuitGameOverlay::instance()
{
    static QuitGameOverlay* overlay = new QuitGameOverlay();   // lives as long as the menus
    return *overlay;
}

QuitGameOverlay::QuitGameOverlay()
{
    noButton = makeButton(kNoString, [this] { onNo(); });
    yesButton = makeButton(kYesString, [this] { onYes(); });
    question = new SpriteLabel(kQuestionFont, std::u16string_view(u"OUT"));
    question->anchorMode = kAnchorAbsolute;
    addItem(noButton);
    addItem(yesButton);
    addItem(question);
}

void QuitGameOverlay::layOut()
{
    const ScreenMetrics& m = screenMetrics();
    const int gap = static_cast<int>(24.0f * m.uiScale);
    noButton->labelStringId = kNoString;
    yesButton->labelStringId = kYesString;
    noButton->updateLabel();
    yesButton->updateLabel();
    // The two buttons side by side, centred a little below the middle.
    const int rowWidth = noButton->width + gap + yesButton->width;
    const int rowY = m.halfHeight + static_cast<int>(20.0f * m.uiScale);
    noButton->x = m.halfWidth - rowWidth / 2;
    noButton->y = rowY;
    yesButton->x = noButton->x + noButton->width + gap;
    yesButton->y = rowY;

    question->textFlags = CFont::kCentreX | CFont::kCentreY;
    question->setWrappedText(kQuestionString, m.halfWidth);
    question->x = m.halfWidth;
    question->y = rowY - static_cast<int>(50.0f * m.uiScale);

    // The panel behind: the question and the buttons with a margin.
    const int margin = static_cast<int>(30.0f * m.uiScale);
    m_panelW = std::max(rowWidth, question->width) + 2 * margin;
    m_panelH = rowY + std::max(noButton->height, yesButton->height) + margin -
               (question->y - question->height / 2 - margin);
    m_panelX = m.halfWidth - m_panelW / 2;
    m_panelY = question->y - question->height / 2 - margin;

    layout(0, 0);
    clearNeighbours();
    noButton->clearNeighbours();
    yesButton->clearNeighbours();
    noButton->setNeighbour(kRight, yesButton);   // one row, "no" first
    focusedItem = noButton;
}

void QuitGameOverlay::update()
{
    if (!shown)
        return;
    if (needsLayout) {
        needsLayout = false;
        layOut();
    }
    noButton->update();
    yesButton->update();
}

void QuitGameOverlay::draw()
{
    if (!shown || needsLayout)
        return;
    CSprite* menus = getSprite(kSpriteSetMenus);
    menus->drawNinePatch(kPanelFrame, static_cast<float>(m_panelX), static_cast<float>(m_panelY),
                         static_cast<float>(m_panelW), static_cast<float>(m_panelH));
    MenuFrame::draw();
}

bool QuitGameOverlay::onTouchDown(int x, int y)
{
    bool handled = false;
    for (ResizableButton* button : {noButton, yesButton})
        if (button->contains(x, y, kTouchMargin))
            handled = button->onTouchDown(x, y) || handled;
    return handled;
}

bool QuitGameOverlay::onTouchUp(int x, int y)
{
    const bool no = noButton->onTouchUp(x, y);
    const bool yes = yesButton->onTouchUp(x, y);
    return no || yes;
}

void QuitGameOverlay::onNo()
{
    needsLayout = true;
    shown = false;
}

void QuitGameOverlay::onYes()
{
    onNo();
    quit = true;
}
