#pragma once
#include <memory>
#include <string>

class GameMode;
class IGameListener;
class IGameScreen;
class Match;
struct MatchConnections;

// Why a game did not start; on any failure the screens and the running match
// stay as they were. NotConnected: a connection of the match is empty (logged).
enum class GameStartResult : int { Started = 0, UnknownType = 1, BadMap = 2, NoMission = 3, NotConnected = 4 };

// The game's own HUD, camera, progress, scores, tutorial, scene, messages,
// overlays and end pages, given to every match this game starts; main.cpp
// gathers them once at start-up. The network connection is each match's own.
void setGameConnections(const MatchConnections& connections);
// Fills the connections the screens give: the game HUD, the scene camera, the
// tutorial HUD, the scene, the HUD's messages and the overlays.
void fillScreenConnections(MatchConnections& connections);
// The one road into a match: the mode with the game's connections and the
// network game (noNetwork() alone). Null, logged, when a connection is empty.
std::unique_ptr<Match> connectMatch(std::unique_ptr<GameMode> mode, IGameListener* network);

// True for the types a menu may start with createGame: the matches, the
// tutorials and free flight (the campaign and the menu flight start elsewhere).
bool isStartableGameType(int type);

// Starts a game of `type` on skirmish map `mapIndex`: the loading screen
// becomes current with `gameScreen` to load and the new match is current.
// A tutorial takes `tutorialIndex`; the take-off-and-landing one always flies map 1.
// With netFlag the mode takes a network role but has no network game to
// talk to: network matches start through createNetworkGame.
GameStartResult createGame(int type, bool netFlag, int mapIndex, IGameScreen& gameScreen, int tutorialIndex = 0);

// A network match: as createGame, and the new mode hosts or joins (online
// for a room-server game) with the network game as its listener; refused
// (NotConnected) without one.
GameStartResult createNetworkGame(int type, int mapIndex, bool hosting, bool online, IGameListener* listener,
                                  IGameScreen& gameScreen);

// Starts mission `mission` of campaign `campaign` at the difficulty (0 easy,
// 1 normal, 2 hard); refused for an index outside the table or an empty entry.
// Resume 1 continues from the mission's checkpoint at that difficulty.
GameStartResult startCampaignMission(int campaign, int mission, IGameScreen& gameScreen, int difficulty = 1,
                                     int resume = 0);

// The "-autostart TYPE:MAP" test option: the game the menu starts once loaded.
void requestAutostart(int type, int mapIndex);
// "-autostart 1:NAME": the campaign mission of that record name.
void requestCampaignAutostart(const std::string& missionName);
// Starts the requested game once; true when it started.
bool runAutostart(IGameScreen& gameScreen);
