// The score keeper's checkpoint block: any bytes are taken or refused without
// a fault, a refused block changes nothing, and a taken one writes back to the
// same bytes.
#include "FuzzTarget.h"

#include "modes/progress/MissionStats.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/File.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    ScoreMgr& sm = ScoreMgr::instance();
    const MissionStats before = missionStats();
    const MatchPoints pointsBefore = sm.matchPoints();
    FileBuffer in(std::vector<std::uint8_t>(data, data + size));
    if (!sm.readStats(in)) {
        FUZZ_CHECK(missionStats() == before);
        FUZZ_CHECK(sm.matchPoints().kill == pointsBefore.kill);
        FUZZ_CHECK(sm.matchPoints().objective == pointsBefore.objective);
        return 0;
    }
    FileBuffer out;
    sm.writeStats(out);
    FUZZ_CHECK(out.bytes().size() == CheckpointStats::kBytes);
    // With no player airplane the score is written as 0; the rest comes back as read.
    for (std::size_t i = 4; i < CheckpointStats::kBytes; ++i)
        FUZZ_CHECK(out.bytes()[i] == data[i]);
    return 0;
}
