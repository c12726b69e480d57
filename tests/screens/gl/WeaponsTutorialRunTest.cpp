// The weapons tutorial played in the staged game from its first lesson to its
// completion page by a pilot at the keys who steers by what the game logs:
// each frame the game waits on "-inputpipe" until the pilot has answered the
// position, attitude and lesson target it logged, so the run does not depend
// on where the autopilot, the AI or the flight model leave the airplane when
// a lesson starts. Frames go to build/tutorial/ for a look.
#include "StagedGame.h"

#include "platform/Math.h"
#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {
// The default key of each control the pilot uses.
constexpr const char* kRollLeft = "A";
constexpr const char* kRollRight = "D";
constexpr const char* kPitchUp = "S";
constexpr const char* kPitchDown = "W";
constexpr const char* kYawLeft = "Q";
constexpr const char* kYawRight = "E";
constexpr const char* kThrottle = "LShift";
constexpr const char* kFire = "Space";
constexpr const char* kLink = "L";

// The run's frame time, and how far ahead the pilot judges where the nose goes.
constexpr float kFrameSeconds = 0.025f;
constexpr float kLead = 0.1f;
// How fast a torpedo runs in the water.
constexpr float kTorpedoSpeed = 45.0f;

// The pause screen's page of a finished tutorial.
constexpr const char* kCompletionPage = "pause screen opened (menu 6)";

// What the game logged of one frame.
struct Seen {
    int frame = 0;
    Vec3 position{}, velocity{}, forward{0.0f, 0.0f, -1.0f}, up{0.0f, 1.0f, 0.0f};
    std::optional<Vec3> target;
    float targetRadius = 0.0f;
    std::optional<Vec3> bombImpact;
    std::optional<Vec3> missile;
    bool missileRunning = false;
};

// Reads the game's log line by line and answers each frame's wait with the
// keys a player would press now: chase the drone and fire when it is on the
// nose, press the link key, fly at the ship on the tarn and let the torpedo
// go where it runs into the hull, the bomb where its sight meets the ship.
class TutorialPilot {
public:
    std::string onLine(const std::string& line)
    {
        Seen s;
        Vec3 v;
        char weapon[64] = {};
        int frame = 0;
        float radius = 0.0f;
        if (std::sscanf(line.c_str(),
                        "test: frame %d player at %f %f %f moving %f %f %f facing %f %f %f up %f %f %f", &s.frame,
                        &s.position.x, &s.position.y, &s.position.z, &s.velocity.x, &s.velocity.y, &s.velocity.z,
                        &s.forward.x, &s.forward.y, &s.forward.z, &s.up.x, &s.up.y, &s.up.z) == 13) {
            m_seen = s;
            inGame = true;
        } else if (std::sscanf(line.c_str(), "test: frame %d target at %f %f %f radius %f", &frame, &v.x, &v.y, &v.z,
                               &radius) == 5) {
            m_seen.target = v;
            m_seen.targetRadius = radius;
        } else if (std::sscanf(line.c_str(), "test: frame %d bomb falls at %f %f %f", &frame, &v.x, &v.y, &v.z) == 4) {
            m_seen.bombImpact = v;
        } else if (std::sscanf(line.c_str(), "test: frame %d missile at %f %f %f", &frame, &v.x, &v.y, &v.z) == 4) {
            m_seen.missile = v;
            m_seen.missileRunning = line.ends_with(" running");
            if (m_seen.missileRunning)
                seeTorpedoRun(frame, v);
        } else if (StagedGame::waitsForInput(line, frame)) {
            return answer(frame);
        } else if (int step = 0; std::sscanf(line.c_str(), "tutorial: tutorial 4: step %d", &step) == 1) {
            steps.push_back(step);
            m_step = step;
        } else if (int downIn = 0; std::sscanf(line.c_str(), "tutorial: tutorial 4: target down in step %d by %63s",
                                               &downIn, weapon) == 2) {
            targetsDown.push_back(std::to_string(downIn) + " " + weapon);
            if (downIn == 12)
                shootAfter(m_seen.frame, 12, "ship_hit.png");
            if (downIn == 14)
                shootAfter(m_seen.frame, 2, "bomb_burst.png");
            if (downIn == 12 || downIn == 14)
                m_lookBackUntil = m_seen.frame + static_cast<int>(3.0f / kFrameSeconds);
        } else if (line.find(kCompletionPage) != std::string::npos && completionFrame == 0) {
            completionFrame = m_seen.frame;
            shootAfter(m_seen.frame, 20, "completion_page.png");
        }
        return {};
    }

    std::vector<int> steps;           // every step the tutorial entered, in order
    std::vector<std::string> targetsDown;   // the firing step and weapon of each target destroyed
    std::vector<std::string> shots;   // the pictures asked for
    std::optional<float> torpedoLevel;   // the height a torpedo ran at over the tarn
    int completionFrame = 0;
    bool inGame = false;

private:
    void shootAfter(int frame, int frames, const char* name)
    {
        m_shotsAt[frame + frames] = name;
        shots.push_back(name);
    }

    // The first torpedo seen running for a while: its picture, and how deep it runs.
    void seeTorpedoRun(int frame, const Vec3& at)
    {
        if (m_step != 12)
            return;
        if (!torpedoLevel)
            shootAfter(frame, 10, "torpedo_run.png");
        torpedoLevel = at.y;
    }

    std::string answer(int frame)
    {
        std::set<std::string> keys;
        std::string taps;
        if (inGame && completionFrame == 0)
            fly(frame, keys, taps);
        std::string out;
        for (const std::string& k : keys)
            if (!m_held.count(k))
                out += std::to_string(frame) + " keydown " + k + "\n";
        for (const std::string& k : m_held)
            if (!keys.count(k))
                out += std::to_string(frame) + " keyup " + k + "\n";
        m_held = keys;
        out += taps;
        if (const auto shot = m_shotsAt.find(frame); shot != m_shotsAt.end())
            out += std::to_string(frame) + " shot " + shot->second + "\n";
        // Off the page once it has been seen: the window's close ends the run.
        if (completionFrame > 0 && frame == completionFrame + 40)
            out += std::to_string(frame) + " close\n";
        return out + std::to_string(frame + 1) + " sync\n";
    }

    // The point in the airplane's own axes: x right, y up, z behind.
    Vec3 local(const Vec3& point) const
    {
        const Vec3 d = point - m_seen.position;
        const Vec3 right = vec3CrossB(m_seen.forward, m_seen.up);
        return {vec3Dot(d, right), vec3Dot(d, m_seen.up), -vec3Dot(d, m_seen.forward)};
    }

    // Rudder and elevator towards the point with the wings kept level, the
    // throttle open; the angle of the point off the nose. Keys are all or
    // nothing and act a frame late: each error is taken ahead by how fast it
    // changes, so the nose settles on the point instead of swinging across it.
    float steerTo(const Vec3& point, std::set<std::string>& keys)
    {
        const Vec3 l = local(point);
        const float yaw = std::atan2(l.x, -l.z);
        const float pitch = std::atan2(l.y, std::sqrt(l.x * l.x + l.z * l.z));
        const float bank = vec3CrossB(m_seen.forward, m_seen.up).y;
        const bool fresh = m_lastSteered == m_seen.frame - 1;
        auto ahead = [&](float now, float before) { return fresh ? now + (now - before) * kLead / kFrameSeconds : now; };
        const float yawAhead = ahead(yaw, m_lastYaw), pitchAhead = ahead(pitch, m_lastPitch),
                    bankAhead = ahead(bank, m_lastBank);
        m_lastYaw = yaw;
        m_lastPitch = pitch;
        m_lastBank = bank;
        m_lastSteered = m_seen.frame;
        keys.insert(kThrottle);
        if (yawAhead > 0.02f)
            keys.insert(kYawRight);
        else if (yawAhead < -0.02f)
            keys.insert(kYawLeft);
        if (pitchAhead > 0.02f)
            keys.insert(kPitchUp);
        else if (pitchAhead < -0.02f)
            keys.insert(kPitchDown);
        if (bankAhead > 0.05f)
            keys.insert(kRollRight);
        else if (bankAhead < -0.05f)
            keys.insert(kRollLeft);
        return std::atan2(std::sqrt(l.x * l.x + l.y * l.y), -l.z);
    }

    void fly(int frame, std::set<std::string>& keys, std::string& taps)
    {
        // The trigger is let go now and then, so that a weapon handed out again fires too.
        const bool triggerFree = frame % 20 != 0;
        if (m_step == 7) {
            if (frame % 30 == 0)
                taps += std::to_string(frame) + " key " + kLink + "\n";
            return;
        }
        if (m_seen.frame != frame - 1)
            return;
        if (m_step == 12 || m_step == 14 || m_lookBackUntil > frame) {
            if (m_seen.target)
                m_ship = *m_seen.target;
            if (m_ship)
                attackShip(frame, keys);
            return;
        }
        if (!m_seen.target)
            return;
        if (steerTo(*m_seen.target, keys) < 0.15f && triggerFree)
            keys.insert(kFire);
    }

    // The ship lessons. One torpedo at a time: a second one still running
    // would sink the next lesson's ship. While the trigger stays held the
    // view rides the weapon: the torpedo as it drops and starts its run, held
    // less than its 3 s reload, and one pair of bombs, held less than 1.2 s.
    void attackShip(int frame, std::set<std::string>& keys)
    {
        const Vec3 at = *m_ship;
        const bool inFlight = m_seen.missile.has_value();
        if (inFlight && m_launchFrame < 0 && m_pulled) {
            m_launchFrame = frame;
            m_pulled = false;
        }
        if (!inFlight && m_lookBackUntil <= frame)
            m_launchFrame = -1;
        const float sinceLaunch = m_launchFrame < 0 ? 0.0f : (frame - m_launchFrame) * kFrameSeconds;
        if (m_launchFrame >= 0) {
            if ((m_step == 14 && sinceLaunch < 1.1f) || (m_step == 12 && sinceLaunch < 2.8f))
                keys.insert(kFire);
            watchTheHit(at, sinceLaunch, keys);
            return;
        }
        if (m_step != 12 && m_step != 14)
            return;
        flyAtShip(at, keys);
        m_pulled = aimedAtShip(at);
        if (m_pulled)
            keys.insert(kFire);
    }

    // Up and away over the water to wait 1 km out, then, as the torpedo
    // nears the ship, back towards it to see the hit ahead.
    void watchTheHit(const Vec3& at, float sinceLaunch, std::set<std::string>& keys)
    {
        const Vec3 p = m_seen.position;
        const Vec3 ahead = vec3NormalizeOr(Vec3{m_seen.velocity.x, 0.0f, m_seen.velocity.z}, m_seen.forward);
        const float across = std::hypot(at.x - p.x, at.z - p.z);
        float eta = 0.0f;
        if (m_seen.missile && m_step == 12)
            eta = std::hypot(m_seen.missile->x - at.x, m_seen.missile->z - at.z) / kTorpedoSpeed;
        if (m_step == 14 && across > 300.0f) {
            // Level off over the ship: the bombs burst ahead.
            steerTo(at + Vec3{0.0f, 200.0f, 0.0f}, keys);
            return;
        }
        if (sinceLaunch < 3.0f) {
            steerTo(Vec3{p.x, at.y + 600.0f, p.z} + ahead * 1500.0f, keys);
            m_waitOut.reset();
            return;
        }
        if (across < 350.0f || (!m_waitOut && eta > 6.5f))
            m_waitOut = vec3NormalizeOr(Vec3{p.x - at.x, 0.0f, p.z - at.z}, ahead);
        else if (m_waitOut && eta < 6.5f && across > 500.0f)
            m_waitOut.reset();
        if (m_waitOut)
            steerTo(at + *m_waitOut * 1000.0f + Vec3{0.0f, 300.0f, 0.0f}, keys);
        else
            steerTo(at + Vec3{0.0f, 120.0f, 0.0f}, keys);
    }

    // The tarn lies in a crater whose rim stands some 450 above the water
    // 2 km out. Over the rim high, then down a slope inside it: the torpedo
    // run levels out low over the water, the bomb run dives at the ship.
    static float approachHeight(float across)
    {
        constexpr float kLow = 25.0f, kLevelFrom = 700.0f, kRim = 2300.0f, kOverRim = 700.0f;
        return kLow + std::clamp((across - kLevelFrom) / (kRim - kLevelFrom), 0.0f, 1.0f) * (kOverRim - kLow);
    }

    void flyAtShip(const Vec3& at, std::set<std::string>& keys)
    {
        const Vec3 p = m_seen.position;
        const float across = std::hypot(at.x - p.x, at.z - p.z);
        const float height = p.y - at.y;
        const Vec3 in = vec3NormalizeOr(Vec3{at.x - p.x, 0.0f, at.z - p.z}, m_seen.forward);
        if (across < 1300.0f && height > approachHeight(across) + 200.0f) {
            // Too high to make it: out again for a new run.
            steerTo(at - in * 2600.0f + Vec3{0.0f, 750.0f, 0.0f}, keys);
        } else if (across > 2300.0f) {
            steerTo(at + Vec3{0.0f, 750.0f, 0.0f}, keys);
        } else if (m_step == 14) {
            steerTo(at, keys);
        } else {
            const float lead = std::min(500.0f, across);
            const Vec3 on = p + in * lead;
            steerTo({on.x, at.y + approachHeight(across - lead), on.z}, keys);
        }
    }

    bool aimedAtShip(const Vec3& at) const
    {
        const Vec3 p = m_seen.position, v = m_seen.velocity;
        const float across = std::hypot(at.x - p.x, at.z - p.z);
        if (m_step == 14)
            return m_seen.bombImpact && std::hypot(m_seen.bombImpact->x - at.x, m_seen.bombImpact->z - at.z) < 25.0f;
        // A torpedo runs on along the heading from where it meets the water.
        const float g = 9.81f, height = p.y - at.y;
        if (height > 60.0f || v.y < -20.0f)
            return false;
        const float fall = (v.y + std::sqrt(std::max(v.y * v.y + 2.0f * g * height, 0.0f))) / g;
        const Vec3 entry{p.x + v.x * fall, at.y, p.z + v.z * fall};
        const Vec3 heading = vec3NormalizeOr(Vec3{v.x, 0.0f, v.z}, m_seen.forward);
        const Vec3 toShip{at.x - entry.x, 0.0f, at.z - entry.z};
        const float along = vec3Dot(toShip, heading);
        const float wide = vec3Length(toShip - heading * along);
        // A long run gives the time to turn round and watch it hit.
        return across < 1500.0f && along > 350.0f && along < 900.0f && wide < m_seen.targetRadius * 0.4f;
    }

    Seen m_seen;
    std::optional<Vec3> m_ship;   // where the ship lies, also once it has gone
    int m_launchFrame = -1;       // when the weapon now in flight was let go
    bool m_pulled = false;        // the trigger was pulled at the ship
    std::optional<Vec3> m_waitOut;   // the side of the ship the pilot waits on
    int m_lookBackUntil = 0;      // the view turns back to a sunk ship until then
    int m_lastSteered = -1;
    float m_lastYaw = 0.0f, m_lastPitch = 0.0f, m_lastBank = 0.0f;
    int m_step = -1;
    std::set<std::string> m_held;
    std::map<int, std::string> m_shotsAt;
};

struct WeaponsTutorialRun : testing::Test {
    StagedGame game;

    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }
};

TEST_F(WeaponsTutorialRun, PlayedByAPilotSteeringByTheLogFromTheFirstLessonToItsPage)
{
    TutorialPilot pilot;
    const int code = game.runSteered(
        "-width 480 -height 320 -quality 0 -fixeddt " + std::to_string(kFrameSeconds) +
            " -frames 24000 -autostart 9:4 -logplayer 1",
        [&](const std::string& line) { return pilot.onLine(line); }, 840.0, 120.0);
    const std::string log = game.log();
    game.keepFile("stdout.txt", "tutorial", "weapons_tutorial_log.txt");
    ASSERT_EQ(code, 0) << log.substr(log.size() > 4000 ? log.size() - 4000 : 0);

    // Every lesson in its order, each firing one ended by a target destroyed.
    const std::vector<int> lessons{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::vector<int> from2;
    for (int s : pilot.steps)
        if (s >= 2)
            from2.push_back(s);
    EXPECT_EQ(from2, lessons);
    // The linked lesson's kill may go to either gun of the pair.
    ASSERT_EQ(pilot.targetsDown.size(), 6u);
    EXPECT_EQ(pilot.targetsDown[0], "2 machinegun_light_1");
    EXPECT_EQ(pilot.targetsDown[1], "4 machinegun_heavy_1");
    EXPECT_EQ(pilot.targetsDown[2].substr(0, 13), "8 machinegun_");
    EXPECT_EQ(pilot.targetsDown[3], "10 simple_missile_1");
    EXPECT_EQ(pilot.targetsDown[4], "12 torpedo_1");
    EXPECT_EQ(pilot.targetsDown[5], "14 bomb_1");
    EXPECT_NE(log.find("tutorial 4: the player's keys take the airplane from the autopilot"), std::string::npos);
    ASSERT_TRUE(pilot.torpedoLevel.has_value()) << "no torpedo ran on the water";
    EXPECT_NEAR(*pilot.torpedoLevel, 1155.68f - 1.0f, 0.05f) << "the torpedo runs just under the tarn's surface";
    EXPECT_NE(log.find("tutorial 4: line 651"), std::string::npos) << "the torpedo lesson ended";
    EXPECT_NE(log.find("tutorial 4: line 653"), std::string::npos) << "the bomb lesson ended";
    EXPECT_GT(pilot.completionFrame, 0) << "the completion page opened";

    for (const char* name : {"torpedo_run.png", "ship_hit.png", "bomb_burst.png", "completion_page.png"}) {
        TextureImage image;
        EXPECT_TRUE(game.loadShot(name, image, "tutorial")) << name;
    }
}
}  // namespace

namespace {
// A driver that stops answering cannot hold the game: it gives up after its
// wait, says why and ends with its own exit code.
TEST(SteeredGame, AGameWhoseDriverFallsSilentQuitsWithCode5)
{
    StagedGame game;
    if (!game.prepare())
        GTEST_SKIP() << "the game is not staged";
    int answered = 0;
    const int code = game.runSteered("-width 320 -height 240 -quality 0 -fixeddt 0.05 -frames 2000",
                                     [&](const std::string& line) -> std::string {
                                         int frame = 0;
                                         if (!StagedGame::waitsForInput(line, frame) ||
                                             frame > 20)
                                             return {};
                                         ++answered;
                                         return std::to_string(frame + 1) + " sync\n";
                                     },
                                     300.0, 120.0);
    EXPECT_EQ(code, 5) << game.log();
    EXPECT_EQ(answered, 20);
    EXPECT_NE(game.log().find("nothing came for 10 s before frame 21"), std::string::npos) << game.log();
}
}  // namespace
