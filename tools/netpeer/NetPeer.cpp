#include "NetPeer.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "entities/ground/Flag.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/kinds/GameModeDTB.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/WeaponCfg.h"
#include "entities/ground/GroundTarget.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "net/match/LanMatchTransport.h"
#include "net/match/NetworkPlayer.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/Pak.h"
#include "platform/Random.h"
#include "platform/Settings.h"
#include "platform/Text.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>
#include <unistd.h>

namespace {
constexpr float kFrame = 1.0f / 60.0f;
// Outer limits only, counted in passes of the wait loop rather than on the
// clock: on a loaded machine a pass takes longer and the wait with it.
constexpr int kJoinPasses = 18000;  // 90 s of 5 ms passes on an idle machine
constexpr int kLoadPasses = 5600;   // 90 s of 16 ms passes
// After the match ends the host keeps serving a moment, so every end message is acknowledged.
constexpr float kLinger = 2.0f;
// The weapon ids of the missiles the missile action fires.
constexpr int kAirMissile = 7, kGroundMissile = 10;

std::string narrow(std::u16string_view text)
{
    std::u16string letters;
    for (char16_t c : text) {
        if (c < 0x20) {
            // Colour codes are the code and a semicolon: skip both.
            continue;
        }
        letters.push_back(c);
    }
    const std::string out = wideToUtf8(letters);
    std::string clean;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!(out[i] == ';' && (i == 0 || clean.empty() || clean.back() == ' ' || i + 1 == out.size())))
            clean.push_back(out[i]);
    return clean;
}

std::u16string wide(const std::string& text) { return utf8ToWide(text); }
}  // namespace

bool NetPeer::parse(int argc, char** argv, Options& out)
{
    out.stageDir = SKYFRONT_STAGE_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        auto value = [&]() -> std::string { return hasValue ? argv[++i] : std::string(); };
        if (arg == "--host") {
            out.host = true;
        } else if (arg == "--join" && hasValue) {
            const std::string v = value();
            const auto colon = v.rfind(':');
            if (colon == std::string::npos)
                return std::fprintf(stderr, "netpeer: --join ADDR:PORT\n"), false;
            out.address = v.substr(0, colon);
            out.port = static_cast<std::uint16_t>(std::atoi(v.c_str() + colon + 1));
        } else if (arg == "--port" && hasValue) {
            out.port = static_cast<std::uint16_t>(std::atoi(value().c_str()));
        } else if (arg == "--type" && hasValue) {
            out.gameType = std::atoi(value().c_str());
        } else if (arg == "--map" && hasValue) {
            out.map = std::atoi(value().c_str());
        } else if (arg == "--players" && hasValue) {
            out.players = std::clamp(std::atoi(value().c_str()), 2, 8);
        } else if (arg == "--minutes" && hasValue) {
            out.minutes = std::clamp(std::atoi(value().c_str()), 0, 255);
        } else if (arg == "--score-limit" && hasValue) {
            out.scoreLimit = std::max(0, std::atoi(value().c_str()));
        } else if (arg == "--expect" && hasValue) {
            out.expectJoiners = std::clamp(std::atoi(value().c_str()), 0, 7);
        } else if (arg == "--seconds" && hasValue) {
            out.seconds = std::clamp(static_cast<float>(std::atof(value().c_str())), 1.0f, 600.0f);
        } else if (arg == "--name" && hasValue) {
            out.name = value().substr(0, 31);
        } else if (arg == "--rank" && hasValue) {
            out.rank = std::clamp(std::atoi(value().c_str()), 0, static_cast<int>(Settings::kMaxRank));
        } else if (arg == "--matches" && hasValue) {
            out.matches = std::clamp(std::atoi(value().c_str()), 1, 20);
        } else if (arg == "--teams") {
            out.teams = true;
        } else if (arg == "--weapons" && hasValue) {
            out.weapons = std::clamp(std::atoi(value().c_str()), 0, 2);
        } else if (arg == "--where" && hasValue) {
            out.whereEvery = std::clamp(static_cast<float>(std::atof(value().c_str())), 0.0f, 60.0f);
        } else if (arg == "--until" && hasValue) {
            out.until = value();
        } else if (arg == "--stage" && hasValue) {
            out.stageDir = value();
        } else if (arg == "--at" && hasValue) {
            // T:ACTION[:TEXT]
            const std::string v = value();
            const auto first = v.find(':');
            if (first == std::string::npos)
                return std::fprintf(stderr, "netpeer: --at T:ACTION[:TEXT]\n"), false;
            Action a;
            a.at = static_cast<float>(std::atof(v.substr(0, first).c_str()));
            const auto second = v.find(':', first + 1);
            a.kind = v.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
            if (second != std::string::npos)
                a.text = v.substr(second + 1);
            out.actions.push_back(a);
        } else {
            std::fprintf(stderr, "netpeer: unknown option %s\n", arg.c_str());
            return false;
        }
    }
    if (!out.host && out.port == 0)
        return std::fprintf(stderr, "netpeer: --host or --join ADDR:PORT\n"), false;
    std::stable_sort(out.actions.begin(), out.actions.end(), [](const Action& a, const Action& b) { return a.at < b.at; });
    return true;
}

NetPeer::NetPeer(Options options) : m_options(std::move(options)) {}

NetPeer::~NetPeer()
{
    setLogCapture({});
    m_handler.disconnect();
    endMatch();
    unmountAllPaks();
    // Every run makes a scratch folder of its own: leave none behind.
    if (!m_scratch.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_scratch, ec);
    }
}

void NetPeer::log(const std::string& line)
{
    std::printf("%7.2f %s\n", static_cast<double>(m_time), line.c_str());
    std::fflush(stdout);
}

void NetPeer::pushWithSound(int, int, std::u16string_view text) { log("hud " + narrow(text)); }

void NetPeer::pushLong(int, std::u16string_view text)
{
    const std::string line = narrow(text);
    log("line " + line);
    // The awaited line ends the run as a quit would, once the frame is done
    // and a joiner is in play: a line that arrives while it still waits for
    // the round must not cut its run short.
    if (!m_options.until.empty() && line.find(m_options.until) != std::string::npos)
        m_untilSeen = true;
}

void NetPeer::StartNotices::pushNotice(std::u16string_view text, float duration, int, int)
{
    // Countdowns tick every second; only the starts, kept by their length, are logged.
    if (duration < 0.0f)
        peer->log("notice " + narrow(text));
}

void NetPeer::GunHits::onPlayerShots(int, int hits)
{
    if (hits > 0)
        peer->log("gun hits " + std::to_string(hits));
}

bool NetPeer::loadData()
{
    // Settings and saves go to a scratch folder; nothing of the player's is touched.
    m_scratch = (std::filesystem::temp_directory_path() / ("netpeer-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(m_scratch);
    setSaveFolder(m_scratch);
    setDataRoot(m_options.stageDir);
    if (!mountPak(m_options.stageDir + "/paks/base.pak"))
        return std::fprintf(stderr, "netpeer: %s/paks/base.pak does not mount\n", m_options.stageDir.c_str()), false;
    // The game's own texts too: the join and leave lines are read from them.
    if (!setLanguageByCode("EN"))
        return std::fprintf(stderr, "netpeer: the English texts do not load\n"), false;
    auto table = openFile("data/strings/EN/main.str");
    if (!table || !m_texts.load(*table))
        return std::fprintf(stderr, "netpeer: no English string table\n"), false;
    if (!PlaneList::instance().load(PlaneList::kListPath, m_texts, settings()) ||
        !WeaponList::instance().load(WeaponList::kListPath, m_texts) ||
        !UnitList::instance().load(UnitList::kListPath, m_texts) || !MapLists::instance().load(MapLists::kFolder, m_texts))
        return std::fprintf(stderr, "netpeer: a list of the data does not load\n"), false;
    settings().playerName = wide(m_options.name);
    settings().playerRank = static_cast<std::uint8_t>(m_options.rank);
    return true;
}

bool NetPeer::startMode(int gameType, int mapIndex, bool hosting)
{
    const MapInfoCfg* map = mapIndex >= 0 && mapIndex < MapLists::kSlots ? MapLists::instance().skirmishMap(mapIndex) : nullptr;
    std::unique_ptr<GameMode> made = createGameMode(gameType);
    if (!map || !made || !dynamic_cast<GameModeCustom*>(made.get()))
        return std::fprintf(stderr, "netpeer: no match of type %d on map %d\n", gameType, mapIndex), false;
    // The match's limits; no bots in a network match.
    Settings& s = settings();
    for (int entry : {Settings::kEntryFFA, Settings::kEntryTD, Settings::kEntryCTF, Settings::kEntryDTB}) {
        s.setSkirmishWord(entry, 0, static_cast<std::uint32_t>(m_options.minutes));
        s.setSkirmishWord(entry, 1, static_cast<std::uint32_t>(m_options.scoreLimit));
    }
    s.setSkirmishWord(Settings::kEntryFurther, 0, matchOptions());
    // Team changes as the create pages allow them: in the team kinds.
    s.setSkirmishWord(Settings::kEntryHost, 5, gameType == 3 || gameType == 4 || gameType == 5 ? 1u : 0u);
    made->setNetwork(true, hosting, false);
    made->setMapRecord(map);
    // A headless peer: its own HUD lines, the network game, and nothing else.
    MatchConnections connections = MatchConnections::none();
    connections.hooks.hud = this;
    m_notices.peer = this;
    connections.services.messages = &m_notices;
    m_gunHits.peer = this;
    connections.hooks.progress = &m_gunHits;
    connections.network = hosting ? static_cast<IGameListener*>(&m_handler.server) : &m_handler.client;
    if (!startMatch(std::move(made), connections))
        return std::fprintf(stderr, "netpeer: the match does not start\n"), false;
    m_mode = dynamic_cast<GameModeCustom*>(modeOf(currentMatch()));
    if (!m_mode->startLevel())
        return std::fprintf(stderr, "netpeer: the map does not load\n"), false;
    if (Airplane* own = m_mode->playerAirplane())
        own->pilotName = wide(m_options.name);
    return true;
}

bool NetPeer::startHost()
{
    NetworkGlobals& g = netGlobals();
    ServerInfo& info = g.serverInfo;
    info.clear();
    info.setName(wide(m_options.name));
    info.bytes[ServerInfo::GameType] = static_cast<std::uint8_t>(m_options.gameType);
    info.bytes[ServerInfo::MapIndex] = static_cast<std::uint8_t>(m_options.map);
    info.bytes[ServerInfo::MaxPlayers] = static_cast<std::uint8_t>(m_options.players);
    info.bytes[ServerInfo::MatchMinutes] = static_cast<std::uint8_t>(m_options.minutes);
    info.bytes[ServerInfo::RespawnDelay] = 5;
    info.setU32(ServerInfo::OptionFlags, matchOptions());
    g.lanConfig.bindPort = m_options.port;
    g.lanConfig.discoveryAddress = 0x7F000001u;
    g.lanConfig.announceAddress = 0;
    if (!m_handler.server.start(m_options.players - 1))
        return std::fprintf(stderr, "netpeer: the host socket cannot be had\n"), false;
    if (!startMode(m_options.gameType, m_options.map, true))
        return false;
    if (Airplane* own = m_mode->playerAirplane()) {
        if (g.localPlayer)
            g.localPlayer->airplaneId = static_cast<std::uint32_t>(own->id());
        m_mode->attachAI(*own, 0.8f, true);
    }
    NetworkGame::openToPlayers();
    auto* lan = dynamic_cast<LanMatchTransport*>(g.transport.get());
    log("port " + std::to_string(lan ? lan->lan().boundPort() : 0));
    return true;
}

bool NetPeer::joinHost()
{
    NetworkGlobals& g = netGlobals();
    g.lanConfig.announceAddress = 0;
    in_addr address{};
    if (inet_pton(AF_INET, m_options.address.c_str(), &address) != 1)
        return std::fprintf(stderr, "netpeer: bad address %s\n", m_options.address.c_str()), false;
    NetworkGameClient& client = m_handler.client;
    if (!client.connectTo(ntohl(address.s_addr), m_options.port))
        return std::fprintf(stderr, "netpeer: the client socket cannot be had\n"), false;
    // The handshake up to the host's join answer, then the load of its map.
    for (int pass = 0; client.state < NetworkGameClient::Loading; ++pass) {
        client.processMessages();
        if (!NetworkGame::running())
            return std::fprintf(stderr, "netpeer: the join was refused\n"), false;
        if (const LanTransport::Refusal why = client.refusal(); why != LanTransport::Refusal::None)
            return std::fprintf(stderr, "netpeer: the host turned the join away: %s\n",
                                why == LanTransport::Refusal::Full ? "full" : "no new players now"),
                   false;
        if (pass > kJoinPasses)
            return std::fprintf(stderr, "netpeer: no join within %d passes (state %d)\n", kJoinPasses, client.state),
                   false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const netmsg::JoinCompleteMsg& join = client.joinSetup();
    m_options.scoreLimit = join.scoreLimit;
    m_options.minutes = join.matchMinutes;
    log("joined as player " + std::to_string(join.playerId) + " type " + std::to_string(join.gameType) + " map " +
        std::to_string(join.mapIndex));
    if (!startMode(join.gameType, join.mapIndex, false))
        return false;
    // The last load step: the host's airplanes and state, then play.
    for (int pass = 0; client.state != NetworkGameClient::Waiting && client.state != NetworkGameClient::Playing;
         ++pass) {
        client.processMessages();
        if (pass > kLoadPasses || !NetworkGame::running())
            return std::fprintf(stderr, "netpeer: the host sent no join end within %d passes\n", kLoadPasses), false;
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    client.applyJoinState();
    client.active = 1;
    logDown();
    if (Airplane* own = m_mode->playerAirplane())
        m_mode->attachAI(*own, 0.8f, true);
    return true;
}

bool NetPeer::act(const Action& action)
{
    if (action.kind != "destroy" && action.kind != "await" && action.kind != "crash" && action.kind != "team" &&
        action.kind != "sink" &&
        action.kind != "flag" && action.kind != "drop" && action.kind != "missile")
        log("do " + action.kind + (action.text.empty() ? "" : " " + action.text));
    Airplane* own = m_mode->playerAirplane();
    if (action.kind == "chat") {
        m_mode->postChat(wide(action.text));
        if (own)
            NetworkGame::addChatLine(own, wide(action.text));
    } else if (action.kind == "destroy" && m_options.host) {
        // The host's airplane shoots down the first other airplane in play
        // (the one named, or a bot with "bot"); while nobody is (or the host
        // is down itself) the action waits.
        if (!own || !own->isActive() || !own->isAlive())
            return false;
        for (Target* t : m_mode->activeTargets()) {
            if (t->kind() != TargetKind::Airplane || t == own || !t->isActive() || !t->isAlive())
                continue;
            const bool bot = static_cast<Airplane*>(t)->aiPilot;
            if ((action.text == "bot" && !bot) || (!action.text.empty() && action.text != "bot" &&
                                                   narrow(t->pilotName) != action.text))
                continue;
            t->setHealth(0.0f);
            m_mode->onAirplaneDestroyed(*t, own, CrashCause::KilledByDamage);
            log("destroyed " + narrow(t->pilotName));
            return true;
        }
        return false;
    } else if (action.kind == "sink" && m_options.host) {
        // The host's airplane sinks every ship and shoots every gun and unit of the map.
        if (!own)
            return false;
        int sunk = 0;
        const std::vector<Target*> inPlay(m_mode->activeTargets().begin(), m_mode->activeTargets().end());
        for (Target* t : inPlay) {
            if (!t->isGroundTarget() || t->networkItem() < 0 || !t->isActive() || !t->isAlive())
                continue;
            t->setHealth(0.0f);
            m_mode->onAirplaneDestroyed(*t, own, CrashCause::KilledByDamage);
            ++sunk;
        }
        log("sank " + std::to_string(sunk));
    } else if (action.kind == "crash") {
        // The own airplane goes into the ground, as its own machine sees it;
        // in last man standing only once the round runs, to be out of it.
        if (!own || !own->isActive() || !own->isAlive())
            return false;
        if (auto* lms = dynamic_cast<GameModeLMS*>(m_mode); lms && !lms->roundRunning())
            return false;
        m_mode->onAirplaneDestroyed(*own, nullptr, CrashCause::Ground);
        log("crashed");
    } else if (action.kind == "team") {
        // The switch-team button of the score table.
        if (!own || !own->isActive() || m_mode->playStopped)
            return false;
        const int other = own->team() == 1 ? 0 : 1;
        m_mode->removeAirplaneForGood(*own, other);
        log("asked for team " + std::to_string(other));
    } else if (action.kind == "flag" && m_options.host) {
        // The named pilot takes the other team's flag where it flies.
        auto* ctf = dynamic_cast<GameModeCTF*>(m_mode);
        if (!ctf)
            return true;
        for (Target* t : m_mode->activeTargets()) {
            if (t->kind() != TargetKind::Airplane || narrow(t->pilotName) != action.text || !t->isAlive())
                continue;
            Flag* flag = ctf->flagOfTeam(t->team() == 0 ? 1 : 0);
            if (!flag || flag->carrier())
                return false;
            ctf->onFlagTaken(*flag, *t);
            log("flag to " + action.text);
            return true;
        }
        return false;
    } else if (action.kind == "drop" && m_options.host) {
        // The named pilot loses the flag it carries where it flies.
        auto* ctf = dynamic_cast<GameModeCTF*>(m_mode);
        if (!ctf)
            return true;
        for (int team = 0; team < 2; ++team) {
            Flag* flag = ctf->flagOfTeam(team);
            if (!flag || !flag->carrier() || narrow(flag->carrier()->pilotName) != action.text)
                continue;
            Target& carrier = *flag->carrier();
            ctf->onFlagDropped(*flag, carrier);
            // The host's own airplane climbs away, or it would take the flag up again at once.
            if (&carrier == own)
                own->setPositionAndStop(own->position() + Vec3{0.0f, 1500.0f, 0.0f});
            const Vec3 at = flag->position();
            log("flag dropped at " + std::to_string(static_cast<int>(at.x)) + " " +
                std::to_string(static_cast<int>(at.z)));
            return true;
        }
        return false;
    } else if (action.kind == "missile") {
        return fireMissile(action.text);
    } else if (action.kind == "eject" && own) {
        m_mode->ejectPilot(*own, 1.0f, true);
    } else if (action.kind == "quit") {
        m_quit = true;
    } else if (action.kind == "end" && m_options.host) {
        // As a limit reached: frozen now, scored and told a frame later.
        m_mode->freezeMatch();
    } else if (action.kind == "await" && m_options.host) {
        // Holds the later actions until that many joiners have come, and
        // every one still here has flown: times alone race a slow machine.
        const int wanted = std::atoi(action.text.c_str());
        if (m_arrivals < wanted || !m_notFlown.empty())
            return false;
        log("awaited " + std::to_string(m_arrivals));
    }
    return true;
}

std::uint32_t NetPeer::matchOptions() const
{
    return (m_options.teams ? 0x100u : 0u) | static_cast<std::uint32_t>(m_options.weapons);
}

bool NetPeer::fireMissile(const std::string& text)
{
    // NAME or "base", then an optional weapon id after a colon.
    const auto colon = text.find(':');
    const std::string at = text.substr(0, colon);
    const int chosen = colon == std::string::npos ? -1 : std::atoi(text.c_str() + colon + 1);
    Airplane* own = m_mode->playerAirplane();
    if (!own)
        return false;
    Target* target = nullptr;
    if (at == "base") {
        auto* dtb = dynamic_cast<GameModeDTB*>(m_mode);
        float best = 0.0f;
        for (GroundTarget* b : dtb ? dtb->bases(own->team() == 0 ? 1 : 0) : std::vector<GroundTarget*>{}) {
            const float d = vec3DistanceSq(b->position(), own->position());
            if (b->isActive() && b->isTargetable() && (!target || d < best)) {
                target = b;
                best = d;
            }
        }
    } else {
        for (Target* t : m_mode->activeTargets())
            if (t->kind() == TargetKind::Airplane && t != own && t->isActive() && t->isAlive() &&
                (at.empty() || narrow(t->pilotName) == at))
                target = t;
    }
    // A base is shot at while one stands: none (a round is starting) lets the
    // run go on, also while the own airplane is down, or a missile kept
    // waiting for its respawn would hit the next round's base.
    if (!target)
        return at == "base";
    if (!own->isActive() || !own->isAlive() || m_mode->playStopped)
        return false;
    // Close enough that the missile cannot miss: behind an airplane, above
    // and before a base, facing it.
    Vec3 from;
    if (target->kind() == TargetKind::Airplane) {
        const auto& a = static_cast<const Airplane&>(*target);
        from = target->position() - a.forward() * 400.0f;
        own->setPositionAndStop(from);
        own->setOrientation(a.orientation());
        own->setSpeed(a.speed());
    } else {
        const Vec3 p = target->position();
        from = Vec3{p.x + 500.0f, p.y + 300.0f, p.z};
        own->setPositionAndStop(from);
        Quat facing;
        quatFromDirectionTo(facing, p - from);
        own->setOrientation(facing);
        own->setSpeed(100.0f);
    }
    // A heat seeker at an airplane, a ground-attack missile at a base.
    const int weaponId = chosen >= 0 ? chosen : target->kind() == TargetKind::Airplane ? kAirMissile : kGroundMissile;
    if (!m_mode->launchWeaponById(weaponId, own, target, own->position()))
        return false;
    log("missile " + std::to_string(weaponId) + " at " + narrow(target->pilotName));
    return true;
}

void NetPeer::watchObjectives()
{
    // Each base standing or down, and whether weapons can hurt them.
    if (auto* dtb = dynamic_cast<GameModeDTB*>(m_mode)) {
        bool open = false;
        for (int team = 0; team < 2; ++team)
            for (GroundTarget* b : dtb->bases(team)) {
                const bool up = b->isActive() && b->isAlive();
                open = open || (up && b->isTargetable());
                auto [at, added] = m_basesUp.try_emplace(narrow(b->pilotName), up);
                if (added || at->second != up)
                    log("base " + at->first + (up ? " up" : " down"));
                at->second = up;
                // Its health in tenths, as for the pilots below.
                const int tenths = static_cast<int>(std::lround(std::max(b->health(), 0.0f) * 10.0f));
                auto [shown, fresh] = m_baseHealth.try_emplace(at->first, tenths);
                if (fresh || shown->second != tenths)
                    log("base health " + at->first + " " + std::to_string(tenths));
                shown->second = tenths;
            }
        if (open != m_basesOpen)
            log(open ? "bases open" : "bases closed");
        m_basesOpen = open;
    }
    // The airplanes' health in tenths, as this side holds it.
    for (const auto& e : m_mode->entities()) {
        if (e->kind() != TargetKind::Airplane)
            continue;
        const int tenths = static_cast<int>(std::lround(std::max(e->health(), 0.0f) * 10.0f));
        int& shown = m_health[narrow(e->pilotName)];
        if (shown != tenths) {
            if (shown != 0 || tenths != 10)
                log("health " + narrow(e->pilotName) + " " + std::to_string(tenths));
            shown = tenths;
        }
    }
}

void NetPeer::trackArrivals()
{
    std::vector<int> now;
    for (std::size_t i = 0; i < NetworkPlayer::count(); ++i)
        if (const NetworkPlayer* p = NetworkPlayer::at(i); p && p->id != 0 && p->id != NetworkPlayer::kNoId)
            now.push_back(p->id);
    std::sort(now.begin(), now.end());
    for (int id : now)
        if (!std::binary_search(m_present.begin(), m_present.end(), id)) {
            ++m_arrivals;
            m_notFlown.push_back(id);
            // What the newcomer's records tell it is out of play.
            logDown();
        }
    std::erase_if(m_notFlown, [&](int id) {
        if (!std::binary_search(now.begin(), now.end(), id))
            return true;  // gone again before flying
        const NetworkPlayer* p = NetworkPlayer::findById(id);
        if (!p || !p->hasAirplane())
            return false;
        for (const auto& e : m_mode->entities())
            if (static_cast<std::uint32_t>(e->id()) == p->airplaneId && e->isActive())
                return true;
        return false;
    });
    m_present = std::move(now);
}

void NetPeer::runActions()
{
    while (m_nextAction < m_options.actions.size() && m_options.actions[m_nextAction].at + m_actionDelay <= m_time) {
        const Action& action = m_options.actions[m_nextAction];
        if (!act(action))
            return;  // tried again next frame
        // An action that had to wait moves the later ones with it, so they
        // keep their spacing instead of all firing in one frame.
        m_actionDelay = std::max(m_actionDelay, m_time - action.at);
        ++m_nextAction;
    }
}

void NetPeer::logScores()
{
    std::map<std::string, std::string> rows;
    for (const auto& e : m_mode->entities()) {
        if (e->kind() != TargetKind::Airplane)
            continue;
        const auto& a = static_cast<const Airplane&>(*e);
        rows[narrow(a.pilotName)] = std::to_string(a.scores[Airplane::kScorePoints]) + " " +
                                    std::to_string(a.scores[Airplane::kScoreDeaths]);
    }
    for (const auto& [name, values] : rows)
        log("score " + name + " " + values);
    // Each pilot's rank as this side's tables show it.
    for (const auto& e : m_mode->entities())
        if (e->kind() == TargetKind::Airplane)
            log("rank " + narrow(e->pilotName) + " " + std::to_string(e->rank()));
    // The weapon ids each airplane carries in its three slots (-1 none).
    std::map<std::string, std::string> arms;
    for (const auto& e : m_mode->entities()) {
        if (e->kind() != TargetKind::Airplane)
            continue;
        std::string ids;
        for (int slot = 0; slot < 3; ++slot) {
            const Weapon* w = e->weapon(slot);
            ids += (slot ? " " : "") + std::to_string(w ? w->record().weapon_id : -1);
        }
        arms[narrow(e->pilotName)] = ids;
    }
    for (const auto& [name, ids] : arms)
        log("arms " + name + " " + ids);
    std::map<std::string, int> teams;
    // The players the score table files (a survival wave's enemies are not).
    for (const auto& e : m_mode->entities())
        if (e->kind() == TargetKind::Airplane && ScoreMgr::instance().groupOf(*e))
            teams[narrow(e->pilotName)] = e->team();
    for (const auto& [name, team] : teams)
        log("team " + name + " " + std::to_string(team));
    if (auto* srv = dynamic_cast<const GameModeSRV*>(m_mode))
        log("wave " + std::to_string(srv->currentWave()));
    log("matches " + std::to_string(m_mode->endMenusOpened()));
    // The map's units out of play, by the index the records name them by.
    std::string down;
    for (const auto& e : m_mode->entities())
        if (e->isGroundTarget() && e->networkItem() >= 0 && !e->isActive())
            down += " " + std::to_string(e->networkItem());
    log("units down" + down);
    if (auto* ctf = dynamic_cast<GameModeCTF*>(m_mode))
        for (int team = 0; team < 2; ++team)
            if (const Flag* f = ctf->flagOfTeam(team))
                log("flag " + std::to_string(team) + " state " + std::to_string(static_cast<int>(f->state())) + " at " +
                    std::to_string(static_cast<int>(f->position().x)) + " " +
                    std::to_string(static_cast<int>(f->position().y)) + " " +
                    std::to_string(static_cast<int>(f->position().z)));
    // Where each airplane in play was when the match stopped, to the metre.
    logWhere();
}

void NetPeer::logDown()
{
    std::vector<std::string> down;
    for (const auto& e : m_mode->entities()) {
        if (e->isActive())
            continue;
        std::string who;
        if (e->kind() == TargetKind::Airplane)
            who = narrow(e->pilotName);
        else if (e->isGroundTarget() && e->networkItem() >= 0)
            who = "unit " + std::to_string(e->networkItem());
        else
            continue;
        down.push_back("down " + who + (e->respawnTimer == -1.0f ? " out" : " waiting"));
    }
    std::sort(down.begin(), down.end());
    for (const std::string& line : down)
        log(line);
}

void NetPeer::logWhere()
{
    for (const auto& e : m_mode->entities())
        if (e->kind() == TargetKind::Airplane && e->isActive())
            // x and z, then the height, which shows a shot-down airplane's fall.
            log("where " + narrow(e->pilotName) + " " + std::to_string(static_cast<int>(e->position().x)) + " " +
                std::to_string(static_cast<int>(e->position().z)) + " " +
                std::to_string(static_cast<int>(e->position().y)));
}

void NetPeer::logDeathMessage(const std::string& message)
{
    // "death message sent: airplane 12 destroyed ...": the pilot's name after the id.
    std::string line = message;
    const std::string key = "airplane ";
    if (const auto at = line.find(key); at != std::string::npos && m_mode) {
        const int id = std::atoi(line.c_str() + at + key.size());
        if (const auto* a = dynamic_cast<const Airplane*>(m_mode->findPlayerAirplane(id))) {
            const auto end = line.find(' ', at + key.size());
            line.insert(end == std::string::npos ? line.size() : end, " (" + narrow(a->pilotName) + ")");
        }
    }
    log(line);
}

int NetPeer::run()
{
    seedRandom(static_cast<std::uint32_t>(getpid()), 7);
    // The deaths the match sends and hears, both of each death's messages, go to the log.
    setLogCapture([this](LogLevel, const std::string& tag, const std::string& message) {
        if (tag == "net" && message.rfind("death message", 0) == 0)
            logDeathMessage(message);
        else
            std::fprintf(stderr, "%s: %s\n", tag.c_str(), message.c_str());
    });
    if (!loadData())
        return 2;
    if (m_options.host ? !startHost() : !joinHost())
        return 1;
    log(m_options.host ? "hosting" : "playing");
    int joinedPlayers = 0;
    float linger = -1.0f;
    const auto start = std::chrono::steady_clock::now();
    for (int frameIndex = 0; m_time < m_options.seconds; ++frameIndex) {
        m_time = static_cast<float>(frameIndex) * kFrame;
        if (m_options.host)
            trackArrivals();
        runActions();
        // In play, a second more lets the joiner's own airplane come in.
        if (m_untilSeen && (m_options.host || m_bestState == NetworkGameClient::Playing)) {
            if (m_untilQuitAt < 0.0f)
                m_untilQuitAt = m_time + (m_options.host ? 0.0f : 1.0f);
            if (m_time >= m_untilQuitAt)
                m_quit = true;
        }
        if (m_quit)
            break;
        m_mode->runFrame(kFrame);
        watchObjectives();
        if (m_options.whereEvery > 0.0f && m_time >= m_nextWhere) {
            m_nextWhere = m_time + m_options.whereEvery;
            logWhere();
        }
        if (m_options.host) {
            const int players = static_cast<int>(NetworkPlayer::count()) - 1;
            if (players != joinedPlayers) {
                log("players " + std::to_string(players));
                joinedPlayers = players;
            }
        } else {
            if (m_handler.client.state > m_bestState) {
                m_bestState = m_handler.client.state;
                log("state " + std::to_string(m_bestState));
            }
            if (!m_matchEnded && m_mode->serverLostNotices() > 0) {
                m_lost = true;
                log("host lost");
                break;
            }
        }
        if (m_mode->endMenusOpened() > m_matchesEnded) {
            m_matchesEnded = m_mode->endMenusOpened();
            log("match ended");
            // A match that restarts plays on until the runs asked for are over.
            if (m_matchesEnded >= m_options.matches || m_mode->restartCountdown() < 0.0f) {
                m_matchEnded = true;
                linger = kLinger;
            }
        }
        if (linger >= 0.0f) {
            linger -= kFrame;
            if (linger < 0.0f)
                break;
        }
        std::this_thread::sleep_until(start + std::chrono::microseconds(static_cast<long>((frameIndex + 1) * 16667)));
    }
    logScores();
    if (m_quit) {
        log("quit");
        return 0;
    }
    if (m_options.host)
        return m_matchEnded ? 0 : 1;
    return !m_lost && m_matchEnded && m_bestState == NetworkGameClient::Playing ? 0 : 1;
}
