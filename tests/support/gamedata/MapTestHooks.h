#pragma once
#include "gamedata/map/GameWorld.h"

#include <string>
#include <vector>

// Hooks that write down every call, for the map and checkpoint tests.
struct RecordingHooks : IMapHud, IMapAudio, IMapHost {
    std::vector<std::string> calls;
    bool alive = true;
    Vec3 player;
    float playerRadius = 5.0f;
    int icon = 0;

    void setNoticeIcon(int value) override { icon = value; }
    void pushNotice(std::u16string_view text, float) override
    {
        calls.push_back("notice:" + std::to_string(icon) + ":" + std::string(text.begin(), text.end()));
    }
    void setCountdown(float seconds, const char* label) override
    {
        calls.push_back("countdown:" + std::to_string(static_cast<int>(seconds)) + ":" + (label ? label : ""));
    }
    void clearMessages() override { calls.push_back("clear"); }
    void registerObjective(MapTrigger& trigger) override { calls.push_back("objective:" + trigger.name); }
    void playMusic(const std::string& file, bool loop) override
    {
        calls.push_back("music:" + file + (loop ? ":loop" : ""));
    }
    void stopMusic() override { calls.push_back("stopmusic"); }
    void playSound(const std::string& file) override { calls.push_back("sound:" + file); }
    bool playerPosition(Vec3& position, float& radius) const override
    {
        position = player;
        radius = playerRadius;
        return alive;
    }
    void endMission(bool won, int reason) override
    {
        calls.push_back(std::string(won ? "win:" : "fail:") + std::to_string(reason));
    }
    void setPlayerLossAllowed(bool allowed) override { calls.push_back(allowed ? "loss:on" : "loss:off"); }
    void setSunValue(float value) override { calls.push_back("sun:" + std::to_string(static_cast<int>(value * 100))); }
    void saveCheckpoint() override { calls.push_back("checkpoint"); }
    void showComic(const std::string& name) override { calls.push_back("comic:" + name); }
    void spawnEffect(const std::string& effect, const Vec3&) override { calls.push_back("effect:" + effect); }
    void spawnObject(MapObject& object) override { calls.push_back("spawn:" + object.name); }
    void markGoal(MapObject&) override { calls.push_back("goal"); }
    void addWaypointMarker(MapTrigger& trigger) override { calls.push_back("waypoint:" + trigger.name); }
    void startWeather(int kind) override { calls.push_back("weather:" + std::to_string(kind)); }

    MapHooks hooks() { return MapHooks{this, this, this}; }
    bool called(const std::string& call) const
    {
        for (const std::string& c : calls)
            if (c == call)
                return true;
        return false;
    }
};

// A target the tests destroy by hand.
struct FakeEntity : IMapEntity {
    bool gone = false;
    int kind = 3, teamId = 1;
    bool isGone() const override { return gone; }
    int targetKind() const override { return kind; }
    int team() const override { return teamId; }
};
