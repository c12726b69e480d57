#include "NetPeerRun.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace matchtest {

bool NetPeerRun::spawn(const std::vector<std::string>& args, const std::string& log)
{
    logPath = log;
    std::vector<std::string> all{NETPEER_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int rc = posix_spawn(&pid, NETPEER_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0;
}

bool NetPeerRun::running()
{
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, WNOHANG) != pid)
        return pid > 0;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    pid = -1;
    return false;
}

void NetPeerRun::wait()
{
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid)
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    pid = -1;
}

std::string NetPeerRun::log() const
{
    std::ifstream in(logPath);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> NetPeerRun::lines(std::initializer_list<const char*> keys, bool nearStart) const
{
    std::vector<std::string> rows;
    std::istringstream in(log());
    for (std::string line; std::getline(in, line);)
        for (const char* key : keys)
            if (auto at = line.find(key); at != std::string::npos && (!nearStart || at < 12))
                rows.push_back(line.substr(at + 1));
    return rows;
}

int NetPeerRun::count(const std::string& text) const
{
    const std::string all = log();
    int n = 0;
    for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
        ++n;
    return n;
}

std::uint16_t NetPeerRun::awaitPort()
{
    while (running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string text = log();
        if (auto at = text.find(" port "); at != std::string::npos)
            return static_cast<std::uint16_t>(std::stoi(text.substr(at + 6)));
    }
    return 0;
}

}  // namespace matchtest
