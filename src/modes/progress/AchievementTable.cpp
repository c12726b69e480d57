#include "modes/progress/AchievementTable.h"

namespace {
using K = AchievementKind;

constexpr AchievementRow kRows[kAchievementRows] = {
    {"rookie", 250, K::EventMatch, "2 0 15 0 15 0 15", 7, false, "11 1"},
    {"wingman", 251, K::EventMatch, "2 0 15 0 15 0 15 0 15 0 15", 11, false, "11 1"},
    {"instructor", 252, K::EventMatch, "2 0 15 0 15 0 15 0 15 0 15 0 15 0 15", 15, false, "11 1"},
    {"ace", 253, K::EventMatch, "2 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15", 21, false, "11 1"},
    {"topace", 254, K::EventMatch, "2 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15", 31, false, "11 1"},
    {"10kills", 255, K::Counter, "14", 10, true, ""},
    {"25kills", 256, K::Counter, "14", 25, true, ""},
    {"50kills", 257, K::Counter, "14", 50, true, ""},
    {"100kills", 258, K::Counter, "14", 100, true, ""},
    {"200kills", 259, K::Counter, "14", 200, true, ""},
    {"300kills", 260, K::Counter, "14", 300, true, ""},
    {"500kills", 261, K::Counter, "14", 500, true, ""},
    {"1000kills", 262, K::Counter, "14", 1000, true, ""},
    {"5000kills", 263, K::Counter, "14", 5000, true, ""},
    {"10000kills", 264, K::Counter, "14", 10000, true, ""},
    {"sinkme", 265, K::Counter, "18", 5, true, ""},
    {"nemonemesis", 266, K::Counter, "19", 10, true, ""},
    {"cargohunter", 267, K::Counter, "16", 10, true, ""},
    {"buttonsmasher", 268, K::Counter, "16", 500, true, ""},
    {"demolisher", 269, K::Counter, "20", 10, true, ""},
    {"carpetbomber", 270, K::Counter, "20", 50, true, ""},
    {"dabomber", 271, K::Counter, "20", 100, true, ""},
    {"groundhugger", 272, K::Counter, "13", 100, true, ""},
    {"punchout", 273, K::Counter, "12", 15, true, ""},
    {"airdominator", 274, K::TimedEventMatch, "15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15 0 15", 19, false, "11 1"},
    {"fatalattraction", 275, K::Counter, "45", 1, true, ""},
    {"raface", 276, K::Counter, "46", 1, true, ""},
    {"ctf1manshow", 289, K::Counter, "25", 3, false, "1 4 11"},
    {"ctfflowless", 288, K::Counter, "57", 1, true, ""},
    {"rankup", 279, K::Counter, "48", 1, true, ""},
    {"daredevil", 277, K::Counter, "47", 1, true, ""},
    {"ridedietogether", 282, K::Counter, "50", 1, true, ""},
    {"survival10wave", 280, K::Counter, "51", 11, true, "1 4 11 50"},
    {"survival20wave", 281, K::Counter, "51", 21, true, "1 4 11 50"},
    {"dogfight1", 283, K::Counter, "52", 1, true, ""},
    {"dogfight7", 284, K::Counter, "53", 1, true, ""},
    {"dogfight11", 285, K::Counter, "54", 1, true, ""},
    {"dogfight12", 286, K::Counter, "55", 1, true, ""},
    {"dogfight13", 287, K::Counter, "56", 1, true, ""},
    {"buttonsschool", 290, K::Counter, "58", 1, true, ""},
    {"flyingschool", -1, K::None, "", 0, false, ""},
    {"pilotingschool", 292, K::Counter, "60", 1, true, ""},
    {"takeoffschool", 293, K::Counter, "61", 1, true, ""},
    {"weaponsschool", 294, K::Counter, "62", 1, true, ""},
    {"squadronschool", 295, K::Counter, "63", 1, true, ""},
    {"diefirsttimesrv", 296, K::Counter, "67", 1, true, ""},
    {"ffa10fragswin", 297, K::Counter, "68", 1, true, ""},
    {"customizeplane", 298, K::Counter, "69", 1, true, ""},
    {"show", 299, K::Counter, "70", 1, true, ""},
    {"immortal", 300, K::EventMatch, "2 0 72 0 72 0 72 0 72 0 72", 11, false, "11 71"},
    {"captureflag", 301, K::Counter, "25", 1, true, ""},
    {"returnflag", 302, K::Counter, "26", 1, true, ""},
    {"destroybaseenemy", 303, K::Counter, "23", 1, true, ""},
    {"pacificwreck", 305, K::Counter, "73", 1, true, ""},
    {"pacificwaterfall", 306, K::Counter, "74", 1, true, ""},
    {"pacifichangar", 307, K::Counter, "75", 1, true, ""},
    {"pacificwatchtower", 308, K::Counter, "101", 1, true, ""},
    {"pacificwoodenbridge", 309, K::Counter, "102", 1, true, ""},
    {"pacificradar", 310, K::Counter, "103", 1, true, ""},
    {"pacificvillage", 311, K::Counter, "104", 1, true, ""},
    {"pacificrunway", 312, K::Counter, "105", 1, true, ""},
    {"harbourwreck", 313, K::Counter, "76", 1, true, ""},
    {"harbourfleet", 314, K::Counter, "94", 1, true, ""},
    {"harbourhangar", 315, K::Counter, "95", 1, true, ""},
    {"harbourwatertower", 316, K::Counter, "96", 1, true, ""},
    {"harbourcrane", 317, K::Counter, "97", 1, true, ""},
    {"harbourradar", 318, K::Counter, "98", 1, true, ""},
    {"harbouroil", 319, K::Counter, "99", 1, true, ""},
    {"harbourgolf", 320, K::Counter, "100", 1, true, ""},
    {"harbourrunway", 321, K::Counter, "106", 1, true, ""},
    {"harbourvillage", 322, K::Counter, "107", 1, true, ""},
    {"hillstunnelbridge", 323, K::Counter, "77", 1, true, ""},
    {"hillstunnelcliffs", 324, K::Counter, "78", 1, true, ""},
    {"hillstunnellong", 325, K::Counter, "79", 1, true, ""},
    {"hillsbridgegorge", 326, K::Counter, "80", 1, true, ""},
    {"hillsbridgesmall", 327, K::Counter, "81", 1, true, ""},
    {"hillschurch", 328, K::Counter, "82", 1, true, ""},
    {"hillsrunway", 330, K::Counter, "108", 1, true, ""},
    {"hillsvillage", 331, K::Counter, "109", 1, true, ""},
    {"hillsradar", 332, K::Counter, "110", 1, true, ""},
    {"channelradaruk", 333, K::Counter, "83", 1, true, ""},
    {"channelcastleuk", 334, K::Counter, "84", 1, true, ""},
    {"channeldoverhills", 335, K::Counter, "85", 1, true, ""},
    {"channelvillageuk", 336, K::Counter, "86", 1, true, ""},
    {"channelcathedaluk", 337, K::Counter, "87", 1, true, ""},
    {"channeloverchannel", 338, K::Counter, "88", 1, true, ""},
    {"channelcranesuk", 342, K::Counter, "92", 1, true, ""},
    {"channellighthousefr", 339, K::Counter, "89", 1, true, ""},
    {"channelhangarge", 340, K::Counter, "90", 1, true, ""},
    {"channelradarge", 341, K::Counter, "91", 1, true, ""},
    {"channelvillagefr", 343, K::Counter, "93", 1, true, ""},
    {"channelrunway", 344, K::Counter, "111", 1, true, ""},
    {"visitworld", 345, K::Counter, "124", 5, true, ""},
    {"visitrunways", 346, K::Counter, "125", 4, true, ""},
    {"visitbuildings", 347, K::Counter, "126", 14, true, ""},
    {"visithangars", 348, K::Counter, "127", 3, true, ""},
    {"visitbridges", 349, K::Counter, "128", 3, true, ""},
    {"visittunnels", 350, K::Counter, "129", 3, true, ""},
    {"visitexplorer", 351, K::Counter, "130", 39, true, ""},
    {"campaignfreak", 352, K::EventMatch, "131 0 132 0 133 0 134 0 135 0 136 0 137 0 138 0 139 0 140 0 141 0 142", 23, false, "11 6"},
};

constexpr StatRow kStats[kStatRows] = {
    {"enemy_kills", 14},      {"vehicle_kills", 16}, {"building_kills", 20}, {"carrier_kills", 18},
    {"submarine_kills", 19}, {"crash_count", 13},   {"eject_count", 12},    {"survival_wave", 51},
};
}  // namespace

std::span<const AchievementRow> achievementRows() { return kRows; }

int achievementNameText(int index)
{
    if (index < 0 || index >= kAchievementRows || kRows[index].kind == AchievementKind::None)
        return -1;
    return kRows[index].nameText;
}

std::span<const StatRow> statRows() { return kStats; }

int eventFamily(int id)
{
    switch (id) {
    case 5:
    case 6:
        return 4;
    case 9:
    case 10:
        return 8;
    case 18:
    case 19:
        return 17;
    case 21:
    case 22:
        return 20;
    default:
        return id;
    }
}

bool eventMatches(int wanted, int id) { return id == wanted || eventFamily(id) == wanted; }
