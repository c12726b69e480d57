// The real game's frame: the staged game itself, started under the display at
// 960 x 640 or 1920 x 1080 on a fixed frame step, either in a free-for-all of
// eight fighters ("ffa": the player and seven bots, default view) or over the
// menu's flight ("menu"), at each quality tier (gameFrame/SCENE/TIER/HEIGHT).
// The large runs get a display of their own (xvfb-run), as the game shrinks a
// window to fit the one it is given. Each run times its frames with -frametimes;
// a benchmark's time is the median frame, and its counters give the frame
// rate, the process CPU per frame, the peak private memory (the game's own:
// its anonymous pages, not the libraries' code and constants, which come back
// from their files) and the split by library
// (milliseconds of a frame drained after every pass; see
// platform/FrameProfile.h). The full split by pass is printed after each run.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/bench/game_frame_bench
//   ... --frames=600        frames timed per run (default 300)
//   ... --runs=3            runs per benchmark, alternating with --compare
//   ... --stage=DIR         another staged tree (bin/, data/, paks/) to run
//   ... --compare=DIR       also run DIR's game, alternately, and report the
//                           frame rate against it ("vs_base" = this / that)
//   ... --benchmark_filter=ffa/2/640
//   ... --max_peak_MiB=N    fail when a run's peak private memory is above N MiB
//                           (as the game measures its own while it runs)
//   ... --max_peak_MiB=ffa/640:N  the same for one scene at one size only
//                           (repeatable; the one naming the run wins)
//   ... --fragments         one more run on desktop GL (960 x 640 only), whose split also gives
//                           the fragments each pass shades (overdraw and
//                           blended layers included; "screens_shaded" sums
//                           them in windows' worth)
//
// The short run in the test suite is --frames=40 --runs=1 on the default tier,
// both scenes at both sizes.
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
struct Config {
    int frames = 300;
    int runs = 1;
    std::string stage = SKYFRONT_STAGE_DIR;
    std::string compare;
    double maxPeakMiB = 0.0;                       // 0: no limit
    std::map<std::string, double> maxPeakOfRun;    // "ffa/640" -> limit
    bool fragments = false;   // one more run on desktop GL, which counts fragments
};
Config& config()
{
    static Config c;
    return c;
}
// A run that failed fails the program too, so the test suite's short run notices.
bool g_failed = false;

void fail(benchmark::State& state, const std::string& why)
{
    g_failed = true;
    state.SkipWithError(why.c_str());
}

// What one run's report and exit gave.
struct RunResult {
    bool ok = false;
    std::string error;
    double medianMs = 0.0, meanMs = 0.0, cpuMs = 0.0, peakMiB = 0.0, heldMiB = 0.0;
    int frames = 0;
    std::string window;                    // "WxH" the game drew at
    std::map<std::string, double> libMs;   // split, wall
    std::string passes;                    // the report's pass lines
    double screensShaded = -1.0;           // fragments a frame over the window's pixels; -1 uncounted
};

// The window's size of a run, by its height.
int widthFor(int height) { return height == 1080 ? 1920 : 960; }

// A scratch tree beside links to a staged tree's data, so the game's save
// folder (its settings) is a fresh one every run.
class GameTree {
public:
    explicit GameTree(const fs::path& stage) : m_stage(stage) {}
    bool prepare(std::string& error)
    {
        if (!fs::exists(m_stage / "bin/skyfront")) {
            error = "no staged game at " + m_stage.string();
            return false;
        }
        fs::create_directories(m_tree.path() / "bin");
        fs::copy_file(m_stage / "bin/skyfront", m_tree.path() / "bin/skyfront");
        for (const char* part : {"data", "paks"})
            fs::create_directory_symlink(fs::absolute(m_stage / part), m_tree.path() / part);
        return true;
    }
    RunResult run(const std::vector<std::string>& gameArgs, int width, int height) const;

private:
    fs::path m_stage;
    TempDir m_tree;
};

RunResult parseReport(const std::string& text, int width, int height)
{
    RunResult r;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "frame_median_ms")
            words >> r.medianMs;
        else if (key == "frame_ms")
            words >> r.meanMs;
        else if (key == "frame_cpu_ms")
            words >> r.cpuMs;
        else if (key == "frames")
            words >> r.frames;
        else if (key == "window")
            words >> r.window;
        else if (key == "peak_private_mib")
            words >> r.peakMiB;
        else if (key == "private_mib")
            words >> r.heldMiB;
        else if (key == "lib") {
            std::string name;
            double wall = 0.0;
            words >> name >> wall;
            r.libMs[name] = wall;
        } else if (key == "pass") {
            // The last column, the fragments shaded, also as whole windows' worth.
            const std::size_t last = line.find_last_of(' ');
            const double fragments = last == std::string::npos ? -1.0 : std::atof(line.c_str() + last + 1);
            if (fragments < 0.0) {
                r.passes += line.substr(0, line.find_last_not_of(' ', last) + 1) + "\n";  // not counted
                continue;
            }
            char screens[32] = "";
            std::snprintf(screens, sizeof(screens), " %6.2f", fragments / (static_cast<double>(width) * height));
            r.screensShaded = std::max(r.screensShaded, 0.0) + fragments / (static_cast<double>(width) * height);
            r.passes += line + screens + "\n";
        }
    }
    r.ok = r.frames > 0 && r.medianMs > 0.0;
    return r;
}

RunResult GameTree::run(const std::vector<std::string>& gameArgs, int width, int height) const
{
    const std::string report = (m_tree.path() / "frametimes.txt").string();
    std::error_code ignored;
    fs::remove(report, ignored);
    std::vector<std::string> args;
    if (height > 1024) {
        const std::string screen = "-screen 0 " + std::to_string(width) + "x" + std::to_string(height) + "x24";
        args = {"/usr/bin/env", "xvfb-run", "-a", "-s", screen};
    }
    args.push_back((m_tree.path() / "bin/skyfront").string());
    args.insert(args.end(), gameArgs.begin(), gameArgs.end());
    args.insert(args.end(), {"-frametimes", report});
    const pid_t child = fork();
    if (child == 0) {
        const std::string out = (m_tree.path() / "log.txt").string();
        if (std::freopen(out.c_str(), "w", stdout) == nullptr || std::freopen(out.c_str(), "a", stderr) == nullptr)
            _exit(127);
        setenv("SKYFRONT_HEADLESS", "1", 1);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    RunResult result;
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        result.error = "the game did not end normally; see its log.txt";
        return result;
    }
    std::ifstream in(report);
    std::stringstream text;
    text << in.rdbuf();
    result = parseReport(text.str(), width, height);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (!result.ok)
        result.error = "no frames timed in " + report;
    else if (result.peakMiB <= 0.0) {
        result.ok = false;
        result.error = "no private memory figure in " + report;
    }
    else if (!result.window.empty() && result.window != size) {  // (older builds do not say)
        result.ok = false;
        result.error = "the game drew at " + result.window + ", not " + size;
    }
    return result;
}

std::vector<std::string> gameArguments(const std::string& scene, int tier, int width, int height)
{
    // Before the timed frames: the logo (3.25 s), the menu's load and, for a
    // match, the game's load; then the warm-up frames. Timed frames alternate
    // whole and split, so twice as many are drawn.
    const int frames = 420 + 2 * config().frames;
    std::vector<std::string> args{"-width",   std::to_string(width), "-height", std::to_string(height),  "-quality", std::to_string(tier),
                                  "-fixeddt", "0.0166667", "-frames", std::to_string(frames)};
    if (scene == "ffa")
        args.insert(args.end(), {"-autostart", "2:0"});
    return args;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

void gameFrame(benchmark::State& state, const std::string& scene)
{
    const int tier = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1)), width = widthFor(height);
    const auto own = config().maxPeakOfRun.find(scene + "/" + std::to_string(height));
    const double maxPeak = own != config().maxPeakOfRun.end() ? own->second : config().maxPeakMiB;
    std::string error;
    GameTree game(config().stage);
    if (!game.prepare(error)) {
        fail(state, error);
        return;
    }
    GameTree base(config().compare.empty() ? config().stage : config().compare);
    if (!config().compare.empty() && !base.prepare(error)) {
        fail(state, error);
        return;
    }
    const std::vector<std::string> args = gameArguments(scene, tier, width, height);
    std::vector<double> medians, cpu, peak, held, baseMedians;
    double screensShaded = -1.0;
    std::map<std::string, std::vector<double>> libs;
    std::string passes;
    for (auto _ : state) {
        for (int i = 0; i < config().runs; ++i) {
            // Alternating, so the machine's other load falls on both alike.
            if (!config().compare.empty()) {
                const RunResult b = base.run(args, width, height);
                if (!b.ok) {
                    fail(state, "base: " + b.error);
                    return;
                }
                baseMedians.push_back(b.medianMs);
            }
            const RunResult r = game.run(args, width, height);
            if (!r.ok) {
                fail(state, r.error);
                return;
            }
            if (maxPeak > 0.0 && r.peakMiB > maxPeak) {
                fail(state, "peak private memory " + std::to_string(r.peakMiB) + " MiB, above the limit of " +
                                std::to_string(maxPeak) + " MiB");
                return;
            }
            medians.push_back(r.medianMs);
            cpu.push_back(r.cpuMs);
            peak.push_back(r.peakMiB);
            held.push_back(r.heldMiB);
            for (const auto& [name, ms] : r.libMs)
                libs[name].push_back(ms);
            passes = r.passes;
            screensShaded = r.screensShaded;
        }
        state.SetIterationTime(median(medians) / 1000.0);
    }
    std::string fragmentPasses;
    if (config().fragments && height <= 1024) {
        // Desktop GL only for the count: the timed runs keep the game's own context.
        std::vector<std::string> desktop = args;
        desktop.push_back("-gldesktop");
        const RunResult r = game.run(desktop, width, height);
        if (!r.ok || r.screensShaded < 0.0) {
            fail(state, r.ok ? "the desktop GL run counted no fragments" : "desktop GL: " + r.error);
            return;
        }
        screensShaded = r.screensShaded;
        fragmentPasses = r.passes;
    }
    const double frameMs = median(medians);
    state.counters["fps"] = frameMs > 0.0 ? 1000.0 / frameMs : 0.0;
    state.counters["cpu_ms"] = median(cpu);
    state.counters["peak_MiB"] = *std::max_element(peak.begin(), peak.end());
    state.counters["held_MiB"] = median(held);  // at the run's end
    if (screensShaded >= 0.0)
        state.counters["screens_shaded"] = screensShaded;
    for (const auto& [name, values] : libs)
        if (median(values) >= 0.05)
            state.counters[name] = median(values);
    if (!baseMedians.empty()) {
        const double baseMs = median(baseMedians);
        state.counters["base_fps"] = baseMs > 0.0 ? 1000.0 / baseMs : 0.0;
        state.counters["vs_base"] = frameMs > 0.0 ? baseMs / frameMs : 0.0;
    }
    std::printf("%s at %dx%d, quality %d: peak private memory %.1f MiB, %.1f at the end; split by pass (ms wall, ms cpu, draws, ms main "
                "thread; last run):\n%s",
                scene.c_str(), width, height, tier, *std::max_element(peak.begin(), peak.end()), median(held),
                passes.c_str());
    if (!fragmentPasses.empty())
        std::printf("%s at quality %d on desktop GL, split by pass (ms wall, ms cpu, draws, ms main thread, fragments "
                    "shaded, windows' worth of them):\n%s",
                    scene.c_str(), tier, fragmentPasses.c_str());
}

void registerAll()
{
    for (const char* scene : {"ffa", "menu"}) {
        const std::string name = std::string("gameFrame/") + scene;
        benchmark::RegisterBenchmark(name.c_str(), [s = std::string(scene)](benchmark::State& st) { gameFrame(st, s); })
            ->ArgsProduct({{0, 1, 2, 3}, {640, 1080}})
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
}

// Our own flags, taken out before the benchmark library reads the rest.
bool readFlags(int& argc, char** argv)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&arg](const char* flag) -> const char* {
            const std::size_t n = std::char_traits<char>::length(flag);
            return arg.compare(0, n, flag) == 0 ? arg.c_str() + n : nullptr;
        };
        if (const char* v = value("--frames="))
            config().frames = std::clamp(std::atoi(v), 10, 100000);
        else if (const char* v = value("--runs="))
            config().runs = std::clamp(std::atoi(v), 1, 100);
        else if (const char* v = value("--stage="))
            config().stage = v;
        else if (const char* v = value("--compare="))
            config().compare = v;
        else if (arg == "--fragments")
            config().fragments = true;
        else if (const char* v = value("--max_peak_MiB=")) {
            const std::string text = v;
            const std::size_t colon = text.find(':');
            const double limit = std::clamp(std::atof(v + (colon == std::string::npos ? 0 : colon + 1)), 0.0, 1.0e6);
            if (colon == std::string::npos)
                config().maxPeakMiB = limit;
            else
                config().maxPeakOfRun[text.substr(0, colon)] = limit;
        }
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    readFlags(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return g_failed ? 1 : 0;
}
