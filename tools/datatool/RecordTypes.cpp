#include "RecordTypes.h"

#include "platform/CSerializable.h"

#include <string>
#include <unordered_map>

namespace {
std::unordered_map<std::string, RecordFactory>& factories()
{
    static std::unordered_map<std::string, RecordFactory> all;
    return all;
}
}  // namespace

RecordTypeRegistration::RecordTypeRegistration(const char* typeName, RecordFactory make)
{
    factories().emplace(typeName, make);
}

std::unique_ptr<CSerializable> makeRecord(std::string_view typeName)
{
    const auto found = factories().find(std::string(typeName));
    return found == factories().end() ? nullptr : found->second();
}
