#pragma once
#include "platform/CSerializable.h"

#include <string>
#include <string_view>

class StringTable;

// One map or campaign mission: "data/maps/configs/<name>.cfg"; the menu
// flight is "mainmenu".
struct MapInfoCfg : CSerializable {
    static constexpr float kMinDifficulty = 0.1f;

    std::string name;
    std::string title;        // text key of the short name
    std::string description;  // text key of the long name
    std::string watermap;     // briefing picture "data/terrain/<watermap>.pvr"
    int index = 0;            // mission index within its campaign
    std::string menuSprite;   // sprite set of the menu picture; may be empty
    int menuFrame = 0;
    int campaign_id = -1;     // -1 for maps outside the campaigns
    std::string teamFriend = "BLUE", teamEnemy = "RED", teamNeutral;  // side codes
    std::string preferedPlane;  // plane record proposed in the briefing
    std::string briefing_string;  // text key
    std::string comicEnd;         // "data/comics/<comicEnd>.cfg"; empty for none
    float rainProb = 0.0f, snowProb = 0.0f;  // percent
    int goldTime = 0, silverTime = 0, goldTimeAce = 0, silverTimeAce = 0;  // minutes

    // What the game mode and the world loader need.
    std::string terrain;  // height field and textures in "data/terrain/<terrain>/"
    int missionPoints = 0;  // campaign points for winning
    Vec3 difficulty{0.5f, 0.5f, 0.5f};  // damage taken, damage dealt, enemy skill; hard doubles them
    int treeCount = 0;
    std::string treeFile;  // forest density "data/terrain/<treeFile>.raw"
    float cloudAmount = 0.3f;  // 0..1
    float water = 0.5f;        // water surface strength
    float fogStart = 3000.0f;  // m
    float sunValue = 0.5f;     // time of day, 0.04..0.96

    int briefingId = 0;  // resolved from briefing_string; 0 when absent

    const char* typeName() const override { return "MapInfoCfg"; }
    void describe(SerMembers& members) override;
    bool validate(std::string& error);

    // Reads the record at path over its defaults; false (with one message)
    // leaves record at its defaults.
    // Text keys resolve against the main string table, or the one given.
    static bool loadFromFile(MapInfoCfg& record, std::string_view path);
    static bool loadFromFile(MapInfoCfg& record, std::string_view path, const StringTable& texts);
};

// True for the side codes the insignia know (case-sensitive); empty is no side.
bool isSideCode(std::string_view code);
