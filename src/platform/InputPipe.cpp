#include "platform/InputPipe.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

InputPipe::~InputPipe() { close(); }

bool InputPipe::open(const std::string& path)
{
    close();
    // Not blocking: a FIFO's open would otherwise wait for its writer.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    m_path = path;
    return m_fd >= 0;
}

void InputPipe::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

InputPipe::Wait InputPipe::read(int timeoutMs, std::vector<ScriptEvent>& events)
{
    if (m_fd < 0)
        return m_stream.closed() ? Wait::Closed : Wait::BadLine;
    pollfd p{m_fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0 && errno == EINTR)
        return Wait::Silent;
    if (ready == 0)
        return Wait::Silent;
    char buffer[16384];
    const ssize_t n = ready < 0 ? -1 : ::read(m_fd, buffer, sizeof(buffer));
    if (n < 0 && ready > 0 && (errno == EAGAIN || errno == EINTR))
        return Wait::Silent;
    if (n <= 0) {
        // The writer has gone; what it sent last still counts.
        close();
        return m_stream.finish(events, m_error) ? Wait::Closed : Wait::BadLine;
    }
    if (!m_stream.feed(std::string_view(buffer, static_cast<std::size_t>(n)), events, m_error)) {
        close();
        return Wait::BadLine;
    }
    return Wait::Ready;
}

InputPipe::Wait InputPipe::waitFor(int frame, double seconds, std::vector<ScriptEvent>& events)
{
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!m_stream.heardAll(frame)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Wait::Silent;
        const Wait got = read(static_cast<int>(std::min<long long>(left, 1000)), events);
        if (got == Wait::BadLine)
            return got;
        if (got == Wait::Ready)
            deadline = Clock::now() + std::chrono::duration<double>(seconds);
    }
    return Wait::Ready;
}
