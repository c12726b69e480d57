#include "platform/Pak.h"

#include "platform/File.h"

// Archives are not read yet: nothing mounts.
bool mountPak(const std::string&)
{
    return false;
}

void unmountAllPaks() {}

std::unique_ptr<File> openFromMountedPaks(std::string_view)
{
    return nullptr;
}
