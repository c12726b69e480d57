#include "platform/Log.h"

#include "platform/Text.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace {

std::mutex& logMutex()
{
    static std::mutex mutex;
    return mutex;
}

LogCapture& capture()
{
    static LogCapture hook;
    return hook;
}

// The bytes of a letter the line limit cut in two.
std::size_t cutLetter(std::string_view line)
{
    std::size_t back = 0;
    while (back < line.size() && back < 3 && (static_cast<unsigned char>(line[line.size() - 1 - back]) & 0xC0) == 0x80)
        ++back;
    if (back == line.size())
        return 0;
    const auto lead = static_cast<unsigned char>(line[line.size() - 1 - back]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length > back + 1 ? back + 1 : 0;
}

void emit(LogLevel level, const char* tag, const char* format, va_list args)
{
    char buffer[1024];
    const int wanted = std::vsnprintf(buffer, sizeof(buffer), format, args);
    std::string_view line(buffer);
    if (wanted >= static_cast<int>(sizeof(buffer)))
        line.remove_suffix(cutLetter(line));
    // The log is UTF-8 whatever a caller formatted into it, so pilots' names
    // and event lines in every language read back.
    const std::string message = validUtf8(line);
    std::lock_guard lock(logMutex());
    if (capture()) {
        capture()(level, tag ? tag : "", message);
        return;
    }
    if (tag && *tag)
        std::fprintf(stderr, "%s: %s\n", tag, message.c_str());
    else
        std::fprintf(stderr, "%s\n", message.c_str());
}

} // namespace

void logInfo(const char* tag, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    emit(LogLevel::Info, tag, format, args);
    va_end(args);
}

void logWarning(const char* tag, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    emit(LogLevel::Warning, tag, format, args);
    va_end(args);
}

void setLogCapture(LogCapture hook)
{
    std::lock_guard lock(logMutex());
    capture() = std::move(hook);
}
