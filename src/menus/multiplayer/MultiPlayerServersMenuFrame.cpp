#include "menus/multiplayer/MultiPlayerServersMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "net/room/RoomClient.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/SpriteButton.h"

MultiPlayerServersMenuFrame* MenuFrameRegistry::multiPlayerServersMenu()
{
    return slot<MultiPlayerServersMenuFrame>(Page::MultiPlayerServers);
}

namespace {
constexpr const char16_t* kServerNames[] = {u"VANX1", u"VANX2", u"VANX3", u"ELITE"};
}

MultiPlayerServersMenuFrame::MultiPlayerServersMenuFrame() : MultiPlayerMenuFrame(kTitleString, kBackString)
{
    for (int i = 0; i < static_cast<int>(serverButtons.size()); ++i) {
        SpriteButton* button = placePanelButton(
            new SpriteButton(kSpriteSetMenus, kOnlineFrame, kButtonFont, std::u16string_view(kServerNames[i])),
            [this, i] { onServer(i); });
        serverButtons[static_cast<std::size_t>(i)] = button;
    }
    placePanel();
    focusedItem = serverButtons[0];
}

void MultiPlayerServersMenuFrame::onServer(int button)
{
    if (button < 0 || button >= static_cast<int>(kServerEntries.size()))
        return;
    // No data check here: a chosen server is the player's own business.
    RoomClient::fixedServer = kServerEntries[static_cast<std::size_t>(button)];
    openOnline();
}

void MultiPlayerServersMenuFrame::openOnline()
{
    if (frontendLinks().onlineRooms)
        goToFrame(frontendLinks().onlineRooms());
}
