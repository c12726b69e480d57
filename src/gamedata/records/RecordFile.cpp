#include "gamedata/records/RecordFile.h"

#include "platform/CSerializable.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/StringTable.h"

#include <cctype>

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool readWhole(std::string_view path, std::size_t maxBytes, std::string& out, std::string& error)
{
    const std::string name(path);
    auto file = openFile(path);
    if (!file) {
        error = name + ": file not found";
        return false;
    }
    if (file->size() > maxBytes) {
        error = name + ":1: file larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (!file->readAll(bytes)) {
        error = name + ":1: cannot read the file";
        return false;
    }
    out.assign(bytes.begin(), bytes.end());
    return true;
}
}  // namespace

bool isRecordName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxRecordNameBytes)
        return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-')
            return false;
    }
    return true;
}

void parseNameList(std::string_view text, std::string_view sourceName, std::vector<NameListEntry>& out)
{
    int line = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        ++line;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view row = text.substr(pos, end - pos);
        pos = end + 1;
        while (!row.empty() && isBlank(row.front()))
            row.remove_prefix(1);
        while (!row.empty() && isBlank(row.back()))
            row.remove_suffix(1);
        if (row.empty() || row.front() == '#')
            continue;
        if (!isRecordName(row)) {
            logWarning("gamedata", "%.*s:%d: not a record name, line skipped", int(sourceName.size()),
                       sourceName.data(), line);
            continue;
        }
        out.push_back(NameListEntry{std::string(row), line});
    }
}

bool readNameList(std::string_view path, std::vector<NameListEntry>& out)
{
    std::string text, error;
    if (!readWhole(path, kMaxNameListBytes, text, error)) {
        logWarning("gamedata", "%s", error.c_str());
        return false;
    }
    parseNameList(text, path, out);
    return true;
}

bool loadRecordFile(CSerializable& record, std::string_view path, std::string& error)
{
    std::string text;
    return readWhole(path, kMaxRecordFileBytes, text, error) && readRecord(text, path, record, error);
}

void reportSkippedRecord(std::string_view listPath, const NameListEntry& entry, const std::string& error)
{
    logWarning("gamedata", "%.*s:%d: %s; record skipped", int(listPath.size()), listPath.data(), entry.line,
               error.c_str());
}

int resolveTextKey(const StringTable& table, const std::string& key)
{
    return key.empty() ? -1 : table.findId(key);
}
