#include "platform/AssertMessage.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
bool headless()
{
    const char* value = std::getenv("SKYFRONT_HEADLESS");
    return value && *value && std::string_view(value) != "0";
}

AssertPresenter& presenter()
{
    static AssertPresenter hook;
    return hook;
}
}  // namespace

void setAssertPresenter(AssertPresenter hook)
{
    presenter() = std::move(hook);
}

void showAssertMessage(std::string_view text)
{
    const std::string message(text);
    if (!headless() && presenter() && presenter()(kAssertCaption, message))
        return;
    std::fprintf(stderr, "%s\n%s", kAssertCaption, message.c_str());
    if (message.empty() || message.back() != '\n')
        std::fputc('\n', stderr);
}
