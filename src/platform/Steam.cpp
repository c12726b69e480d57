#include "platform/Steam.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "platform/SaveNotices.h"
#include "platform/internal/TextParsing.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr const char* kStatsFile = "steam_userstats.txt";
constexpr const char* kStatsKeptFile = "steam_userstats.txt.bad";
constexpr std::size_t kMaxStatsFileBytes = 1 << 20;
constexpr std::size_t kMaxEntries = 4096;

bool isValidName(std::string_view name)
{
    if (name.empty() || name.size() > 64)
        return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

// Splits off the next word separated by spaces or tabs.
std::string_view nextWord(std::string_view& line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    std::size_t end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(end);
    return word;
}

std::string loginName()
{
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name && *entry->pw_name)
        return entry->pw_name;
    if (const char* user = std::getenv("USER"); user && *user)
        return user;
    return "Pilot";
}
}  // namespace

std::string languageFromEnvironment()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        // "de_DE.UTF-8" asks for German; "C" and "POSIX" for none of ours.
        const std::string_view text(value);
        const int index = text.size() >= 2 ? languageIndexOfCode(text.substr(0, 2)) : -1;
        return index >= 0 ? languageTable[index].code : "EN";
    }
    return "EN";
}

bool parseServerAddress(std::string_view text, Steam::ServerAddress& out)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 15)
        return false;
    char host[16] = {};
    text.copy(host, colon);
    in_addr address{};
    if (inet_pton(AF_INET, host, &address) != 1)
        return false;
    const std::string_view portText = text.substr(colon + 1);
    unsigned port = 0;
    if (!textparsing::parseWholeNumber(portText, port) || port == 0 || port > 65535)
        return false;
    out.address = address.s_addr;
    out.port = port;
    return true;
}

bool Steam::init()
{
    // The user id is stable on this machine; + 1 keeps root's account from being 0.
    m_accountId = static_cast<std::uint32_t>(getuid()) + 1;
    m_personaName = loginName();
    m_language = languageFromEnvironment();
    return true;
}

bool Steam::setStat(std::string_view name, std::int32_t value)
{
    if (!isValidName(name))
        return false;
    const auto found = m_stats.find(name);
    if (found != m_stats.end()) {
        found->second = value;
        return true;
    }
    if (m_stats.size() >= kMaxEntries)
        return false;
    m_stats.emplace(std::string(name), value);
    return true;
}

bool Steam::getStat(std::string_view name, std::int32_t& value) const
{
    const auto found = m_stats.find(name);
    if (found == m_stats.end())
        return false;
    value = found->second;
    return true;
}

bool Steam::setAchievement(std::string_view name)
{
    if (!isValidName(name) || (m_achievements.size() >= kMaxEntries && !isAchieved(name)))
        return false;
    m_achievements.emplace(name);
    return true;
}

bool Steam::isAchieved(std::string_view name) const
{
    return m_achievements.find(name) != m_achievements.end();
}

std::string Steam::statsText() const
{
    std::string text;
    for (const auto& [name, value] : m_stats)
        text += "stat " + name + " " + std::to_string(value) + "\n";
    for (const std::string& name : m_achievements)
        text += "achievement " + name + "\n";
    for (std::uint32_t app : m_installedApps)
        text += "installed " + std::to_string(app) + "\n";
    return text;
}

bool Steam::storeStats()
{
    return writeSaveFileAtomic(kStatsFile, statsText());
}

void Steam::loadStats()
{
    std::vector<std::uint8_t> bytes;
    if (!readSaveFile(kStatsFile, kMaxStatsFileBytes, bytes)) {
        bytes.clear();
        // Too large or unreadable: the next save would replace the player's statistics unkept.
        setAsideUnreadSaveFile(kStatsFile, kStatsKeptFile, "the statistics start empty", SaveNotice::StatsDamaged);
    }
    int firstBad = 0;
    const int bad = parseStats(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &firstBad);
    if (bad == 0)
        return;
    // The next store writes back only the lines read: keep the file first.
    std::string kept;
    const KeptSaveFile result = keepDamagedSaveFile(kStatsFile, kStatsKeptFile, bytes, kept);
    logWarning("platform", "%s: %d damaged line%s skipped, the first at line %d%s%s", kStatsFile, bad,
               bad == 1 ? "" : "s", firstBad, keptFileNote(result), kept.c_str());
    raiseSaveNotice(SaveNotice::StatsDamaged);
}

int Steam::parseStats(std::string_view text, int* firstBad)
{
    m_stats.clear();
    m_achievements.clear();
    m_installedApps.clear();
    int bad = 0;
    textparsing::forEachLine(text, [&](std::string_view line, int lineNumber) {
        const std::string_view kind = nextWord(line);
        const std::string_view name = nextWord(line);
        const std::string_view value = nextWord(line);
        const bool extra = !nextWord(line).empty();
        bool good = false;
        if (kind == "stat" && !extra) {
            std::int32_t number = 0;
            good = textparsing::parseWholeNumber(value, number) && setStat(name, number);
        } else if (kind == "achievement" && value.empty()) {
            good = setAchievement(name);
        } else if (kind == "installed" && value.empty()) {
            std::uint32_t app = 0;
            good = textparsing::parseWholeNumber(name, app) && m_installedApps.size() < kMaxEntries;
            if (good)
                m_installedApps.insert(app);
        } else if (kind.empty() && name.empty()) {
            good = true;  // blank line
        }
        if (!good && bad++ == 0 && firstBad)
            *firstBad = lineNumber;
    });
    return bad;
}

bool Steam::queueJoinRequest(std::string_view addressAndPort)
{
    ServerAddress server;
    if (!parseServerAddress(addressAndPort, server)) {
        logWarning("platform", "+connect \"%s\": not an address a.b.c.d:port; ignored",
                     std::string(addressAndPort).c_str());
        return false;
    }
    m_pendingJoin = server;
    return true;
}

void Steam::setLobbyRequest(std::string_view lobby, std::string_view password)
{
    m_lobby = lobby;
    m_password = password;
}

void Steam::runCallbacks()
{
    if (m_pendingJoin.port != 0) {
        m_requested = m_pendingJoin;
        m_pendingJoin = {};
    }
}

void Steam::advertiseGame(std::uint64_t serverId, std::uint32_t address, std::uint16_t port)
{
    m_advertisement = {serverId, address, port};
    ++m_advertiseCalls;
    if (port != 0)
        logInfo("steam", "the joined game is advertised to friends");
    else
        logInfo("steam", "the game's advertisement is withdrawn");
}

Steam& steam()
{
    static Steam instance;
    return instance;
}
