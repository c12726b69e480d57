#include "platform/Log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

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

void emit(LogLevel level, const char* tag, const char* format, va_list args)
{
    char message[1024];
    std::vsnprintf(message, sizeof(message), format, args);
    std::lock_guard lock(logMutex());
    if (capture()) {
        capture()(level, tag ? tag : "", message);
        return;
    }
    if (tag && *tag)
        std::fprintf(stderr, "%s: %s\n", tag, message);
    else
        std::fprintf(stderr, "%s\n", message);
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
