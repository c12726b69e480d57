#include "harness/MenuHarness.h"

#include "StandInRoomServer.h"
#include "support/net/PacedRoomConfig.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/multiplayer/MPCreateOnlineMenuFrame.h"
#include "menus/multiplayer/MPOnlineFiltersMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/Settings.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteLabel.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace {
// The online pages drawn over the menu backdrop, fed by a stand-in room
// server on 127.0.0.1; pictures under build/multiplayer/.
struct OnlinePagesGl : MenuHarness {
    void SetUp() override
    {
        MenuHarness::SetUp();
        if (IsSkipped())
            return;
        boot(1280, 720);
        MenuFrameRegistry::deleteAll();
        ASSERT_TRUE(MapLists::instance().load());
        ASSERT_TRUE(PlaneList::instance().load());
        saved = settings();
        settings().playerRank = 6;
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/multiplayer");
        StandInRoomServer::Options options;
        options.port = 0;
        options.hostPort = 9;
        server = std::make_unique<StandInRoomServer>(options);
        ASSERT_TRUE(server->start());
        handler = std::make_unique<NetworkGameHandler>(pacedRoomConfig(*server));
        handler->setRoomEvents(&MultiPlayerMenuFrameOnline::roomEvents());
        frontendLinks().multiPlayer = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::mainMenu()); };
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            clearFrameHistory();
            handler.reset();
            for (auto& owner : owners)
                owner->leave();
            server->stop();
            MenuFrameRegistry::deleteAll();
            MapLists::instance().clear();
            PlaneList::instance().clear();
            frontendLinks().multiPlayer = nullptr;
            settings() = saved;
        }
        MenuHarness::TearDown();
    }
    void openRoom(const char* owner, const char* name, int mode, int map, std::uint32_t rank, int kind = 0, int value = 0)
    {
        auto client = std::make_unique<RoomClient>(pacedRoomConfig(*server));
        client->connectAsync(owner, 1, rank);
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             !client->connected() && std::chrono::steady_clock::now() < end;) {
            client->poll(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ServerInfo info;
        info.clear();
        info.bytes[ServerInfo::GameType] = static_cast<std::uint8_t>(mode);
        info.bytes[ServerInfo::MapIndex] = static_cast<std::uint8_t>(map);
        info.bytes[ServerInfo::MaxPlayers] = mode == 6 ? 4 : 8;
        info.bytes[ServerInfo::MatchMinutes] = 12;
        info.setU32(ServerInfo::FilterKind, static_cast<std::uint32_t>(kind));
        info.setU32(ServerInfo::FilterValue, static_cast<std::uint32_t>(value));
        ASSERT_EQ(client->createRoom(info.bytes.data(), mode == 6 ? 4 : 8, 0, name), 0);
        owners.push_back(std::move(client));
    }
    template <typename F>
    bool stepUntil(F done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < end) {
            step(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }
    // Bright pixels in the band where the room cards stand.
    int cardPixels()
    {
        int count = 0;
        const auto pixels = screenPixels();
        for (int y = 200; y < 560; ++y)
            for (int x = 0; x < screenWidth(); ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                count += (c.r + c.g + c.b) > 300 ? 1 : 0;
            }
        return count;
    }

    Settings saved;
    std::unique_ptr<StandInRoomServer> server;
    std::unique_ptr<NetworkGameHandler> handler;
    std::vector<std::unique_ptr<RoomClient>> owners;
};
}  // namespace

TEST_F(OnlinePagesGl, TheRoomBrowserItsLobbyAndTheCreatePagesDraw)
{
    MultiPlayerMenuFrameOnline& page = *MenuFrameRegistry::onlineMenu();
    goToFrame(&page);
    ASSERT_TRUE(stepUntil([&] { return handler->room.connected() && !page.busyOverlay->visible; }));
    step(30);
    savePicture("multiplayer/online_empty.png");
    const int empty = cardPixels();

    openRoom("Kestrel", "Harbour brawl", 2, 0, 3);
    openRoom("Marlow", "Ridge run", 3, 2, 12, 2, 1);
    openRoom("Ostrava", "Last light", 13, 3, 6);
    openRoom("Vance", "Night convoy", 6, 4, 17, 1, 0);
    page.refresh();
    ASSERT_TRUE(stepUntil([&] { return page.rows().size() == 4; }));
    step(30);
    savePicture("multiplayer/online_rooms.png");
    EXPECT_GT(cardPixels(), empty + 5000) << "the list frame looks like the empty list";

    // Join a second player into a room, then open its lobby.
    {
        RoomClient guest(pacedRoomConfig(*server));
        guest.connectAsync("Brightwater", 1, 9);
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
             !guest.connected() && std::chrono::steady_clock::now() < end;) {
            guest.poll(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(guest.joinRoomByName("Ridge run"), 0);
        guest.leave();
    }
    MultiPlayerMenuFrameOnline::MPServerMenuEntry* ridge = nullptr;
    for (auto* row : page.rows())
        if (row->room.name() == "Ridge run")
            ridge = row;
    ASSERT_NE(ridge, nullptr);
    click(ridge->absX + ridge->width / 2, ridge->absY + ridge->height / 2);
    step(2);
    ASSERT_TRUE(page.detailsOpen());
    ASSERT_TRUE(stepUntil([&] { return !page.waitingLabel->visible; }));
    step(20);
    savePicture("multiplayer/online_lobby.png");
    EXPECT_TRUE(page.playerRows[1]->visible);
    pressKey(SDL_SCANCODE_ESCAPE);
    step(5);
    EXPECT_FALSE(page.detailsOpen());
    EXPECT_EQ(currentFrame(), &page);

    MPCreateOnlineMenuFrame& create = *MenuFrameRegistry::mpCreateOnlineMenu();
    goToFrame(&create);
    step(30);
    savePicture("multiplayer/online_create.png");
    goToFrame(MenuFrameRegistry::mpOnlineFiltersMenu());
    step(30);
    savePicture("multiplayer/online_filters.png");
}
