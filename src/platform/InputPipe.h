#pragma once
#include "platform/InputScript.h"

#include <string>
#include <vector>

// "-inputpipe FILE": the input script read from a pipe or FIFO while the game
// runs, so that a test can steer by what the game logs. Each frame waits until
// the writer has sent every line of that frame (a line of a later frame has
// come, or the writer closed): the run stays the same however slow either side is.
class InputPipe {
public:
    enum class Wait { Ready, Closed, Silent, BadLine };

    InputPipe() = default;
    ~InputPipe();
    InputPipe(const InputPipe&) = delete;
    InputPipe& operator=(const InputPipe&) = delete;

    // False when the file cannot be opened for reading.
    bool open(const std::string& path);
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    // The new events of lines that have come, without waiting.
    Wait poll(std::vector<ScriptEvent>& events) { return read(0, events); }
    // Waits until every line of the frame has come; Silent when nothing came
    // for `seconds` of real time, BadLine at a line the script reader refuses
    // (error() says which). Ready also when the writer has closed meanwhile.
    Wait waitFor(int frame, double seconds, std::vector<ScriptEvent>& events);
    bool heardAll(int frame) const { return m_stream.heardAll(frame); }
    const InputScriptError& error() const { return m_error; }

private:
    Wait read(int timeoutMs, std::vector<ScriptEvent>& events);
    void close();

    int m_fd = -1;
    std::string m_path;
    InputScriptStream m_stream;
    InputScriptError m_error;
};
