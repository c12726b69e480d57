#include "gamedata/map/MapLoader.h"

#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "platform/AssertMessage.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "render/assets/Model.h"
#include "render/world/Terrain.h"

#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// One top-level record of the file: its type word, its whole text and where it starts.
struct EdtBlock {
    std::string_view type;
    std::string_view text;
    int line = 0;
};

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Splits the text at its top-level records by matching braces outside strings
// and comments. A block left open at the end is returned as it stands, so the
// record reader reports it.
std::vector<EdtBlock> splitBlocks(std::string_view text)
{
    std::vector<EdtBlock> blocks;
    std::size_t i = 0;
    int line = 1;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (isWordChar(c)) {
            const std::size_t start = i;
            const int startLine = line;
            while (i < text.size() && isWordChar(text[i]))
                ++i;
            EdtBlock block{text.substr(start, i - start), {}, startLine};
            int depth = 0;
            bool inString = false, opened = false;
            for (; i < text.size(); ++i) {
                const char d = text[i];
                if (d == '\n')
                    ++line;
                if (inString) {
                    if (d == '\\' && i + 1 < text.size()) {
                        if (text[i + 1] == '\n')
                            ++line;
                        ++i;
                    } else if (d == '"') {
                        inString = false;
                    }
                    continue;
                }
                if (d == '"') {
                    inString = true;
                } else if (d == '/' && i + 1 < text.size() && text[i + 1] == '/') {
                    while (i + 1 < text.size() && text[i + 1] != '\n')
                        ++i;
                } else if (d == '{') {
                    ++depth;
                    opened = true;
                } else if (d == '}') {
                    if (--depth <= 0 && opened) {
                        ++i;
                        break;
                    }
                } else if (!opened && !std::isspace(static_cast<unsigned char>(d))) {
                    break;  // a word not followed by a record
                }
            }
            block.text = text.substr(start, i - start);
            blocks.push_back(block);
        } else {
            ++i;
        }
    }
    return blocks;
}

// Loading faults go to the message box, and to the log for the record.
void reportError(const std::string& text)
{
    logWarning("map", "%s", text.c_str());
    showAssertMessage(text + "\n");
}

void reportObject(std::string_view name) { reportError("error parsing object " + std::string(name)); }

// A name for the messages: the record's "name" when it has one.
std::string blockName(const EdtBlock& block, std::string_view source)
{
    const std::size_t at = block.text.find("name");
    if (at != std::string_view::npos) {
        const std::size_t open = block.text.find('"', at);
        const std::size_t close = open == std::string_view::npos ? open : block.text.find('"', open + 1);
        if (close != std::string_view::npos && close - open < 80)
            return std::string(block.text.substr(open + 1, close - open - 1));
    }
    return std::string(source) + ":" + std::to_string(block.line) + " " + std::string(block.type);
}

template <class Record>
bool readBlock(Record& record, const EdtBlock& block, std::string_view source)
{
    std::string error;
    const std::string where = std::string(source) + ":" + std::to_string(block.line);
    if (readRecord(block.text, where, record, error))
        return true;
    logWarning("map", "%s", error.c_str());
    reportObject(blockName(block, source));
    return false;
}

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

namespace MapLoader {

std::string edtPath(std::string_view recordName) { return "data/maps/" + std::string(recordName) + ".edt"; }

Model* findModel(std::string_view name)
{
    if (name.empty())
        return nullptr;
    if (!modelKey(name).empty())
        return loadModel(name);
    // A plain model name ("destroyer_ally") is that .glm file's first object.
    if (name.find('.') == std::string_view::npos)
        return loadModel(std::string(name) + ".glm");
    return nullptr;
}

const MapInfoCfg* campaignMissionRecord(const MapLists& lists, int campaign, int mission)
{
    const MapInfoCfg* record = lists.campaignMission(campaign, mission);
    if (!record)
        logWarning("map", "campaign %d has no mission %d: not started", campaign + 1, mission + 1);
    return record;
}

bool loadWorldspawn(const GameWorld& world)
{
    return world.hasWorldspawn() && world.itemCount() < GameWorld::kMaxItems;
}

bool loadEdtText(GameWorld& world, std::string_view text, std::string_view sourceName)
{
    const std::vector<EdtBlock> blocks = splitBlocks(text);
    std::vector<std::unique_ptr<MapTrigger>> triggers;  // added after every object is known
    for (const EdtBlock& block : blocks) {
        if (block.type == "Worldspawn") {
            Worldspawn values;
            if (readBlock(values, block, sourceName) && finite(values.spawn) && finite(values.centre))
                world.setWorldspawn(values);
        } else if (block.type == "EditorItem") {
            auto item = std::make_unique<EditorItem>();
            if (!readBlock(*item, block, sourceName))
                continue;
            if (world.itemCount() >= GameWorld::kMaxItems || !finite(item->pos) || !finite(item->angles)) {
                reportObject(item->name.empty() ? blockName(block, sourceName) : item->name);
                continue;
            }
            item->modelData = findModel(item->model);
            if (!item->modelData && !item->model.empty())
                logWarning("map", "%.*s:%d: item \"%s\": model \"%s\" not found", int(sourceName.size()),
                           sourceName.data(), block.line, item->name.c_str(), item->model.c_str());
            item->updateMatrix();
            world.addItem(std::move(item));
        } else if (block.type == "MapObject") {
            auto object = std::make_unique<MapObject>();
            if (!readBlock(*object, block, sourceName))
                continue;
            if (object->unit.size() > 9 || !finite(object->pos) || !finite(object->angles)) {
                reportObject(object->name.empty() ? blockName(block, sourceName) : object->name);
                continue;
            }
            object->updateMatrix();
            world.addObject(std::move(object));
        } else if (block.type == "MapTrigger") {
            auto trigger = std::make_unique<MapTrigger>();
            if (!readBlock(*trigger, block, sourceName))
                continue;
            if (!finite(trigger->pos) || !finite(trigger->size) || !std::isfinite(trigger->radius)) {
                reportObject(trigger->name.empty() ? blockName(block, sourceName) : trigger->name);
                continue;
            }
            if (!trigger->isLandmark() && trigger->exec.count() == 0) {
                reportError("Trigger " + trigger->name + " has no exec");
                continue;
            }
            triggers.push_back(std::move(trigger));
        } else if (block.type == "MapWaypoint") {
            MapWaypoint waypoint;
            if (readBlock(waypoint, block, sourceName) && finite(waypoint.pos))
                world.addWaypoint(waypoint);
        } else if (block.type == "MapLake") {
            MapLake lake;
            if (readBlock(lake, block, sourceName) && finite(lake.pos) && std::isfinite(lake.radius) &&
                std::isfinite(lake.level) && finite(lake.halfSize))
                world.addLake(lake);
        } else {
            reportObject(blockName(block, sourceName));
        }
    }
    for (auto& trigger : triggers)
        world.addTrigger(std::move(trigger));
    return !blocks.empty();
}

bool loadEdt(GameWorld& world, const MapInfoCfg* record)
{
    if (!record) {
        logWarning("map", "no map record: nothing to load");
        return false;
    }
    const std::string path = edtPath(record->name);
    auto file = openFile(path);
    std::vector<std::uint8_t> bytes;
    if (!file || file->size() > kMaxEdtBytes || !file->readAll(bytes)) {
        logWarning("map", "%s: missing or unreadable", path.c_str());
        return false;
    }
    world.setMapRecord(record);
    const std::string text(bytes.begin(), bytes.end());
    const bool loaded = loadEdtText(world, text, path);

    const std::string heightPath = "data/terrain/" + record->terrain + "/height.bin";
    auto heights = openFile(heightPath);
    auto terrain = std::make_unique<Terrain>();
    if (heights && terrain->load(*heights))
        world.setTerrain(std::move(terrain));
    else
        reportObject(heightPath);
    return loaded;
}

}  // namespace MapLoader
