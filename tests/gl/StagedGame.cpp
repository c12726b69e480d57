#include "StagedGame.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

bool StagedGame::prepare()
{
    const fs::path stage = SKYFRONT_STAGE_DIR;
    if (!fs::exists(stage / "bin/skyfront"))
        return false;
    fs::create_directories(tree.path() / "bin");
    fs::copy_file(stage / "bin/skyfront", tree.path() / "bin/skyfront");
    for (const char* part : {"data", "paks"})
        fs::create_directory_symlink(stage / part, tree.path() / part);
    return true;
}

int StagedGame::run(const std::string& arguments)
{
    const std::string command = "cd '" + tree.folder() + "' && SKYFRONT_HEADLESS=1 ./bin/skyfront " + arguments +
                                " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int StagedGame::runScript(const std::string& script, const std::string& arguments)
{
    tree.write("script.txt", script);
    return run("-inputscript script.txt " + arguments);
}

int StagedGame::runScriptOnDisplay(const std::string& script, const std::string& arguments, int width, int height)
{
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        return runScript(script, arguments);
    tree.write("script.txt", script);
    const std::string command = "cd '" + tree.folder() + "' && SKYFRONT_HEADLESS=1 xvfb-run -a -s '-screen 0 " +
                                std::to_string(width) + "x" + std::to_string(height) +
                                "x24' ./bin/skyfront -inputscript script.txt " + arguments + " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool StagedGame::waitsForInput(const std::string& line, int& frame)
{
    return line.ends_with(" waits for input") && std::sscanf(line.c_str(), "test: frame %d", &frame) == 1;
}

int StagedGame::runSteered(const std::string& arguments, const Steer& steer, double limitSeconds,
                           double silentSeconds)
{
    std::vector<std::string> words{"./bin/skyfront", "-inputpipe", "/dev/stdin"};
    std::istringstream split(arguments);
    for (std::string word; split >> word;)
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    int toGame[2], fromGame[2];
    if (pipe2(toGame, O_CLOEXEC) != 0)
        return -1;
    if (pipe2(fromGame, O_CLOEXEC) != 0) {
        close(toGame[0]);
        close(toGame[1]);
        return -1;
    }
    const std::string folder = tree.folder();
    setenv("SKYFRONT_HEADLESS", "1", 1);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(toGame[0], 0);
        dup2(fromGame[1], 1);
        dup2(fromGame[1], 2);
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(toGame[0]);
    close(fromGame[1]);
    if (pid < 0) {
        close(toGame[1]);
        close(fromGame[0]);
        return -1;
    }
    // A game that has died must not take the test with it on the next write.
    struct sigaction ignore {}, before {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &before);

    std::ofstream log(tree.path() / "stdout.txt", std::ios::binary);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto heard = start;
    std::string partial;
    bool killed = false;
    int writeEnd = toGame[1];
    for (;;) {
        const auto now = Clock::now();
        const double sinceStart = std::chrono::duration<double>(now - start).count();
        const double sinceHeard = std::chrono::duration<double>(now - heard).count();
        if (sinceStart > limitSeconds || sinceHeard > silentSeconds) {
            log << "test driver: the game " << (sinceStart > limitSeconds ? "ran too long" : "went silent")
                << "; killed\n";
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
        pollfd p{fromGame[0], POLLIN, 0};
        if (poll(&p, 1, 500) <= 0)
            continue;
        char buffer[16384];
        const ssize_t n = read(fromGame[0], buffer, sizeof(buffer));
        if (n <= 0)
            break;  // the game has ended
        heard = Clock::now();
        log.write(buffer, n);
        partial.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = partial.find('\n')) != std::string::npos;) {
            const std::string line = partial.substr(0, end);
            partial.erase(0, end + 1);
            const std::string answer = steer(line);
            if (answer.empty() || writeEnd < 0)
                continue;
            if (write(writeEnd, answer.data(), answer.size()) != static_cast<ssize_t>(answer.size())) {
                close(writeEnd);
                writeEnd = -1;
            }
        }
    }
    if (writeEnd >= 0)
        close(writeEnd);
    close(fromGame[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    sigaction(SIGPIPE, &before, nullptr);
    return !killed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool StagedGame::loadShot(const std::string& name, TextureImage& image, const std::string& keepFolder)
{
    if (!keepFolder.empty()) {
        const fs::path keep = fs::path(SKYFRONT_BINARY_DIR) / keepFolder;
        fs::create_directories(keep);
        std::error_code ignored;
        fs::copy_file(tree.path() / name, keep / name, fs::copy_options::overwrite_existing, ignored);
    }
    auto file = FileDisk::open(tree.folder() + name, "rb");
    return file && decodePng(*file, image) && image.format == TextureFormat::Rgba8;
}

void StagedGame::keepFile(const std::string& name, const std::string& keepFolder, const std::string& keptName) const
{
    const fs::path keep = fs::path(SKYFRONT_BINARY_DIR) / keepFolder;
    std::error_code ignored;
    fs::create_directories(keep, ignored);
    fs::copy_file(tree.path() / name, keep / keptName, fs::copy_options::overwrite_existing, ignored);
}

std::string StagedGame::log() const
{
    std::string all;
    for (const char* name : {"stdout.txt", "stderr.txt"}) {
        std::ifstream in(tree.path() / name, std::ios::binary);
        all.append(std::istreambuf_iterator<char>(in), {});
    }
    return all;
}
