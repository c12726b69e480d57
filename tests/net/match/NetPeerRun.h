#pragma once
// A netpeer process for the loopback match tests: started with its line log
// in a file, waited for, and its log read back.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <sys/types.h>

namespace matchtest {

struct NetPeerRun {
    pid_t pid = -1;
    std::string logPath;
    int exitCode = -1;

    bool spawn(const std::vector<std::string>& args, const std::string& log);
    bool running();
    // Until the peer ends: each ends by itself, at its match's end or at the
    // last second of its run as its own frames count them (not the clock),
    // so a slow machine only makes the wait longer.
    void wait();
    std::string log() const;
    // The lines holding one of the keys, from the key on (without the time).
    // With `nearStart`, only keys that open a line: a chat line quoting one
    // is not taken.
    std::vector<std::string> lines(std::initializer_list<const char*> keys, bool nearStart) const;
    int count(const std::string& text) const;
    // The port a host logs once it serves; 0 if it ended first.
    std::uint16_t awaitPort();
};

}  // namespace matchtest
