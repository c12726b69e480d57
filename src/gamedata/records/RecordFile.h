#pragma once
#include <string>
#include <string_view>
#include <vector>

class CSerializable;
class StringTable;

// A .lst list: one record name a line, in list order. Blank lines and lines
// starting with '#' are skipped; blanks around a name are ignored.
struct NameListEntry {
    std::string name;
    int line = 0;  // for messages
};

constexpr std::size_t kMaxRecordNameBytes = 63;
constexpr std::size_t kMaxNameListBytes = 256u * 1024u;

// True for a name a list may hold: 1 to 63 letters, digits, '_' or '-', so
// that it also makes a safe file name.
bool isRecordName(std::string_view name);

// Appends the good entries of the text; a bad line is reported once with its
// source and line and skipped.
void parseNameList(std::string_view text, std::string_view sourceName, std::vector<NameListEntry>& out);
// Reads a list through the file layer; false (with a message) when it is
// missing or too large.
bool readNameList(std::string_view path, std::vector<NameListEntry>& out);

// Reads one record file through the file layer into a record that holds its
// defaults. False with error as "file:line: what"; the record is then
// half-read and must be dropped.
bool loadRecordFile(CSerializable& record, std::string_view path, std::string& error);

// Reads the record a list entry names, folder + name + ".cfg", takes the
// entry as its name when the record gives none, and validates it. False with
// error naming the file (and line) when it cannot be used.
template <class Record>
bool loadListedRecord(Record& record, const std::string& folder, const NameListEntry& entry, std::string& error)
{
    const std::string path = folder + entry.name + ".cfg";
    if (!loadRecordFile(record, path, error))
        return false;
    if (record.name.empty())
        record.name = entry.name;
    if (record.name != entry.name) {
        error = path + ": record name \"" + record.name + "\" differs from its list entry";
        return false;
    }
    if (!record.validate(error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

// The one message for a list entry whose record is left out.
void reportSkippedRecord(std::string_view listPath, const NameListEntry& entry, const std::string& error);

// The number of the text with that key; -1 for an empty or unknown key.
int resolveTextKey(const StringTable& table, const std::string& key);
