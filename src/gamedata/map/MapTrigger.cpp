#include "gamedata/map/MapTrigger.h"

#include "gamedata/map/GameWorld.h"
#include "platform/Language.h"
#include "platform/StringTable.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr SerEnumValue kActionTypes[] = {
    {TriggerAction::Notice, "Notice"},       {TriggerAction::Countdown, "Countdown"},
    {TriggerAction::HideCountdown, "HideCountdown"}, {TriggerAction::ClearMessages, "ClearMessages"},
    {TriggerAction::Objective, "Objective"}, {TriggerAction::Waypoint, "Waypoint"},
    {TriggerAction::AllowLoss, "AllowLoss"}, {TriggerAction::ForbidLoss, "ForbidLoss"},
    {TriggerAction::Win, "Win"},             {TriggerAction::Fail, "Fail"},
    {TriggerAction::Music, "Music"},         {TriggerAction::StopMusic, "StopMusic"},
    {TriggerAction::Sound, "Sound"},         {TriggerAction::Effect, "Effect"},
    {TriggerAction::Sun, "Sun"},             {TriggerAction::Weather, "Weather"},
    {TriggerAction::Spawn, "Spawn"},         {TriggerAction::Enable, "Enable"},
    {TriggerAction::Disable, "Disable"},     {TriggerAction::Checkpoint, "Checkpoint"},
    {TriggerAction::Comic, "Comic"},
};
constexpr SerEnumValue kShapes[] = {
    {MapTrigger::Sphere, "Sphere"}, {MapTrigger::Box, "Box"}, {MapTrigger::Cylinder, "Cylinder"}};
constexpr SerEnumValue kKinds[] = {
    {MapTrigger::Script, "Script"}, {MapTrigger::Objective, "Objective"},
    {MapTrigger::WaypointMarker, "WaypointMarker"}};
constexpr SerEnumValue kConditions[] = {
    {MapTrigger::Enter, "Enter"},  {MapTrigger::Destroyed, "Destroyed"},
    {MapTrigger::Count, "Count"},  {MapTrigger::Timer, "Timer"},
    {MapTrigger::AfterTrigger, "AfterTrigger"}, {MapTrigger::Lost, "Lost"}};
}  // namespace

// The key itself when the table lacks it, so a map never shows an empty notice.
std::u16string mapText(const std::string& key)
{
    const StringTable& table = findStringTable();
    if (const std::u16string* text = table.text(table.findId(key)))
        return *text;
    return std::u16string(key.begin(), key.end());
}

std::string mapLabelText(const std::string& key)
{
    std::string label;
    for (char16_t c : mapText(key))
        label += c < 0x80 ? static_cast<char>(c) : '?';
    return label;
}

std::vector<std::string> splitNames(std::string_view list)
{
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < list.size()) {
        while (pos < list.size() && (list[pos] == ' ' || list[pos] == '\t' || list[pos] == ','))
            ++pos;
        std::size_t end = pos;
        while (end < list.size() && list[end] != ' ' && list[end] != '\t' && list[end] != ',')
            ++end;
        if (end > pos)
            names.emplace_back(list.substr(pos, end - pos));
        pos = end;
    }
    return names;
}

void TriggerAction::describe(SerMembers& members)
{
    members.add("type", type, kActionTypes);
    members.add("text", text);
    members.add("value", value);
    members.add("target", target);
}

void MapTrigger::rearm()
{
    static_cast<MapTriggerRun&>(*this) = MapTriggerRun{};
    enabled = enabledInMap;
}

void MapTrigger::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("shape", shape, kShapes);
    members.add("pos", pos);
    members.add("size", size);
    members.add("radius", radius);
    members.add("group", group);
    members.add("enabled", enabled);
    members.add("kind", kind, kKinds);
    members.add("landmark", landmark);
    members.add("notice", notice);
    members.add("noticeCount", noticeCount);
    members.add("condition", condition, kConditions);
    members.add("objects", objects);
    members.add("total", total);
    members.add("delay", delay);
    members.add("after", after);
    members.add("exec", exec);
}

bool MapTrigger::contains(const Vec3& point, float extraRadius) const
{
    const Vec3 d = point - pos;
    switch (shape) {
    case Box:
        return std::fabs(d.x) <= size.x + extraRadius && std::fabs(d.y) <= size.y + extraRadius &&
               std::fabs(d.z) <= size.z + extraRadius;
    case Cylinder: {
        const float r = radius + extraRadius;
        return d.x * d.x + d.z * d.z <= r * r && std::fabs(d.y) <= size.y + extraRadius;
    }
    default: {
        const float r = radius + extraRadius;
        return d.x * d.x + d.y * d.y + d.z * d.z <= r * r;
    }
    }
}

int MapTrigger::targetTotal() const { return total > 0 ? total : static_cast<int>(objectList.size()); }

void MapTrigger::refreshDone()
{
    done = 0;
    for (const MapObject* object : objectList)
        if (object->isGone())
            ++done;
}

bool MapTrigger::conditionMet(const GameWorld& world, const Vec3* player, float playerRadius) const
{
    switch (condition) {
    case Enter:
        return player && contains(*player, playerRadius);
    case Destroyed:
    case Count: {
        int gone = 0;
        for (const MapObject* object : objectList)
            if (object->isGone())
                ++gone;
        const int needed = condition == Count ? targetTotal() : static_cast<int>(objectList.size());
        return !objectList.empty() && gone >= needed;
    }
    case Timer:
        return elapsed >= delay;
    case AfterTrigger: {
        const MapTrigger* other = world.findTrigger(after);
        return other && other->fired;
    }
    case Lost:
        return player == nullptr;
    default:
        return false;
    }
}

void MapTrigger::spawnEffect(GameWorld& world)
{
    for (int i = 0; i < exec.count(); ++i) {
        const TriggerAction& action = *exec.at(i);
        if (action.type == TriggerAction::Effect && !action.text.empty())
            world.hooks().hostOrNone().spawnEffect(action.text, pos);
    }
}

void MapTrigger::performActions(GameWorld& world)
{
    IMapHud& hud = world.hooks().hudOrNone();
    IMapAudio& audio = world.hooks().audioOrNone();
    IMapHost& host = world.hooks().hostOrNone();
    for (int i = 0; i < exec.count(); ++i) {
        const TriggerAction& action = *exec.at(i);
        MapTrigger* target = action.target.empty() ? this : world.findTrigger(action.target);
        switch (action.type) {
        case TriggerAction::Notice:
            hud.setNoticeIcon(action.target.empty() ? 1 : std::atoi(action.target.c_str()));
            hud.pushNotice(mapText(action.text), action.value > 0.0f ? action.value : -1.0f);
            hud.setNoticeIcon(0);
            break;
        case TriggerAction::Countdown: {
            const float seconds = std::floor(std::fmax(action.value, 0.0f));
            world.countdownEnd = world.clock() + seconds;
            world.countdownLabel = action.text;
            hud.setCountdown(seconds, mapLabelText(action.text).c_str());
            break;
        }
        case TriggerAction::HideCountdown:
            world.countdownEnd = -1.0f;
            world.countdownLabel.clear();
            hud.setCountdown(IMapHud::kHiddenCountdown, nullptr);
            break;
        case TriggerAction::ClearMessages:
            hud.clearMessages();
            break;
        case TriggerAction::Objective:
            if (target)
                world.enableTrigger(*target, true);
            break;
        case TriggerAction::Waypoint:
            if (target)
                host.addWaypointMarker(*target);
            break;
        case TriggerAction::AllowLoss:
        case TriggerAction::ForbidLoss:
            world.playerLossAllowed = action.type == TriggerAction::AllowLoss;
            host.setPlayerLossAllowed(world.playerLossAllowed);
            break;
        case TriggerAction::Win:
        case TriggerAction::Fail:
            host.endMission(action.type == TriggerAction::Win, static_cast<int>(action.value));
            break;
        case TriggerAction::Music:
            world.music = action.text;
            world.musicLoops = action.value != 0.0f;
            // The tune starts from its beginning, also one already playing: a
            // looping one is opened over it without a stop, one played once after one.
            audio.playMusic(action.text, world.musicLoops);
            break;
        case TriggerAction::StopMusic:
            world.music.clear();
            audio.stopMusic();
            break;
        case TriggerAction::Sound:
            for (const std::string& file : splitNames(action.text))
                audio.playSound(file);
            break;
        case TriggerAction::Effect:
            if (!action.text.empty())
                host.spawnEffect(action.text, pos);
            break;
        case TriggerAction::Sun:
            world.sunValue = std::fmin(std::fmax(action.value, 0.04f), 0.96f);
            host.setSunValue(world.sunValue);
            break;
        case TriggerAction::Weather:
            host.startWeather(static_cast<int>(action.value));
            break;
        case TriggerAction::Spawn:
            for (const std::string& name : splitNames(action.target)) {
                MapObject* object = world.findObject(name);
                // The player's start is never gone for good: a picked-up
                // pilot takes off from it again.
                if (object && object->player && !object->entity)
                    object->setState(0);
                if (object && !object->entity && !object->isGone()) {
                    object->active = true;
                    host.spawnObject(*object);
                }
            }
            break;
        case TriggerAction::Enable:
        case TriggerAction::Disable:
            if (target && target != this)
                world.enableTrigger(*target, action.type == TriggerAction::Enable);
            break;
        case TriggerAction::Checkpoint:
            host.saveCheckpoint();
            break;
        case TriggerAction::Comic:
            host.showComic(action.text);
            break;
        default:
            break;
        }
    }
}
