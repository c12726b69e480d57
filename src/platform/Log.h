#pragma once

#include <functional>
#include <string>

// One log for every library: a line to standard error, "tag: message", in
// UTF-8 (a byte of a message that starts no UTF-8 sequence is written as its
// Latin-1 letter).
// Warnings are for things the player or a maintainer should know (a file
// skipped, a fallback taken); info is for start-up facts. Nothing here exits.
enum class LogLevel { Info, Warning };

void logInfo(const char* tag, const char* format, ...) __attribute__((format(printf, 2, 3)));
void logWarning(const char* tag, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Prints only the first time this call site runs (a bad value read every
// frame should not flood the log).
#define LOG_WARNING_ONCE(tag, ...)                                                                 \
    do {                                                                                           \
        static bool logOnceFlag_ = false;                                                          \
        if (!logOnceFlag_) {                                                                       \
            logOnceFlag_ = true;                                                                   \
            logWarning(tag, __VA_ARGS__);                                                          \
        }                                                                                          \
    } while (0)

// Tests capture lines instead of printing them. While a capture is set,
// nothing goes to standard error. Pass an empty function to restore printing.
using LogCapture = std::function<void(LogLevel level, const std::string& tag, const std::string& message)>;
void setLogCapture(LogCapture capture);
