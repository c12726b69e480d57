#include "render/internal/RenderLog.h"

#include <cstdarg>
#include <cstdio>

void renderLog(const char* format, ...)
{
    std::fputs("render: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}
