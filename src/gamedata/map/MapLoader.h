#pragma once
#include <string>
#include <string_view>

class GameWorld;
class MapLists;
class Model;
struct MapInfoCfg;

// Reads .edt map files into a GameWorld.
//
// An .edt file ("data/maps/<record name>.edt") is a sequence of text records
// in the configuration record format, each standing alone:
//
//   Worldspawn { spawn 0 1500 0  ceiling 6000 ... }       once
//   EditorItem { name "runway_1" kind 17 model "runway_field.glm_0" pos ... angles ... }
//   MapObject  { name "flak_3" unit "flakgun" kind 4 team 1 pos ... }
//   MapTrigger { name "goal" shape Box pos ... size ... condition Destroyed objects "a b"
//                exec [ TriggerAction { type Notice text "KEY" } ] }
//   MapWaypoint { path "patrol" order 2 pos ... }
//   MapLake    { name "tarn" pos ... radius 900 level 1155.68 }
//
// A record that does not read, an item past the table's 2048 and a mission
// trigger without actions are reported in the loading message box
// ("error parsing object <name>", "Trigger <name> has no exec") and left out;
// loading goes on with the rest.
namespace MapLoader {

constexpr std::size_t kMaxEdtBytes = 8u * 1024u * 1024u;

// The map of the record: its .edt and the height field
// "data/terrain/<terrain>/height.bin". False (nothing loaded) for a null
// record or a missing .edt; a missing height field leaves the world flat.
bool loadEdt(GameWorld& world, const MapInfoCfg* record);
// The records of .edt text into the world (no terrain). False when the text
// holds no record at all; broken records are reported and skipped.
bool loadEdtText(GameWorld& world, std::string_view text, std::string_view sourceName);
// True when the world holds a loaded map with room for one more item: the
// check before code appends an item of its own.
bool loadWorldspawn(const GameWorld& world);
// A model by name: "runway_field.glm_0" (object 0 of "data/models/runway_field.glm")
// or a plain name, "destroyer_ally" for "data/models/destroyer_ally.glm". Null
// when it does not load.
Model* findModel(std::string_view name);
// The record of a campaign mission for the game start, which refuses an empty
// slot: null (with a message) when the campaign has no mission there.
const MapInfoCfg* campaignMissionRecord(const MapLists& lists, int campaign, int mission);
// "data/maps/<name>.edt".
std::string edtPath(std::string_view recordName);

}  // namespace MapLoader
