#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

// The local stand-in for the account platform: who plays (the account number
// names the save folder), the interface language, statistics and achievements
// kept in the save folder, join requests from the command line delivered by the
// callback run, and the record of the advertised game.
class Steam {
public:
    // An IPv4 game server; a port of 0 means none.
    struct ServerAddress {
        std::uint32_t address = 0;   // network byte order, as the transport takes it
        std::uint32_t port = 0;
    };
    struct Advertisement {
        std::uint64_t serverId = 0;
        std::uint32_t address = 0;   // network byte order; 0 with port 0 withdraws
        std::uint16_t port = 0;
    };

    // Reads the account, persona name and language from the system. Always succeeds.
    bool init();

    // Stable across runs for the same system user, never 0.
    std::uint32_t accountId() const { return m_accountId; }
    // The login name; "Pilot" when the system has none.
    const std::string& personaName() const { return m_personaName; }
    // Upper-case two-letter code of one of the game's languages: the first two
    // letters of LC_ALL, LC_MESSAGES or LANG (the first one set), else "EN".
    const std::string& uiLanguage() const { return m_language; }

    // Statistics and achievements by name (letters, digits, '_', 1..64
    // characters; other names are refused with false). Kept in memory until
    // storeStats writes them to "steam_userstats.txt" in the save folder.
    bool setStat(std::string_view name, std::int32_t value);
    // False, leaving value alone, when the statistic was never set.
    bool getStat(std::string_view name, std::int32_t& value) const;
    bool setAchievement(std::string_view name);
    bool isAchieved(std::string_view name) const;
    // Atomic write; false when the file could not be written.
    bool storeStats();
    // Replaces the statistics in memory by those of the save folder's file;
    // unreadable lines are skipped. A missing file leaves none. A damaged file
    // is kept beside before the next store writes back only what was read,
    // and the player is told.
    void loadStats();
    // The same from the file's text: "stat <name> <value>", "achievement
    // <name>" and "installed <app id>" lines. The number of lines skipped,
    // and the first of them into firstBad.
    int parseStats(std::string_view text, int* firstBad = nullptr);
    // The file's text as storeStats writes it.
    std::string statsText() const;

    // Whether the account has the game of that app id installed: the ids of
    // the statistics file's "installed" lines, written back by storeStats.
    bool isAppInstalled(std::uint32_t appId) const { return m_installedApps.count(appId) != 0; }

    // A join request from "+connect a.b.c.d:port", held until the next
    // runCallbacks. False, with nothing held, for malformed text.
    bool queueJoinRequest(std::string_view addressAndPort);
    // "+connect_lobby" and "+password", kept as given until the online page takes them.
    void setLobbyRequest(std::string_view lobby, std::string_view password);
    void clearLobbyRequest() { m_lobby.clear(), m_password.clear(); }
    const std::string& requestedLobby() const { return m_lobby; }
    const std::string& password() const { return m_password; }

    // Delivers held requests: afterwards a pending join is the requested server.
    void runCallbacks();
    // A port other than 0 means a join request waits; the lobby frame takes it
    // and clears it.
    const ServerAddress& requestedServer() const { return m_requested; }
    void clearRequestedServer() { m_requested = {}; }

    // The id a game announced to friends carries for a server outside Steam.
    static constexpr std::uint64_t kNonSteamServerId = 0x0040000000000002ull;
    // Records the game announced to friends; nothing else happens locally.
    void advertiseGame(std::uint64_t serverId, std::uint32_t address, std::uint16_t port);
    const Advertisement& advertisement() const { return m_advertisement; }
    // How many announcements and withdrawals were made this run.
    int advertiseCalls() const { return m_advertiseCalls; }
    // The scene update's mark that a joined game is advertised.
    bool advertised() const { return m_advertised; }
    void setAdvertised(bool advertised) { m_advertised = advertised; }

private:
    std::uint32_t m_accountId = 1;
    std::string m_personaName = "Pilot";
    std::string m_language = "EN";
    std::map<std::string, std::int32_t, std::less<>> m_stats;
    std::set<std::string, std::less<>> m_achievements;
    std::set<std::uint32_t> m_installedApps;
    ServerAddress m_pendingJoin;
    int m_advertiseCalls = 0;
    ServerAddress m_requested;
    std::string m_lobby, m_password;
    Advertisement m_advertisement;
    bool m_advertised = false;
};

// The one account object of the program.
Steam& steam();

// "a.b.c.d:port" with a port of 1..65535; false for anything else.
bool parseServerAddress(std::string_view text, Steam::ServerAddress& out);
// The language code the environment asks for ("EN" when none of the game's).
std::string languageFromEnvironment();
