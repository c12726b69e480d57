// Records: every file under assets/records/ is one record source whose path
// below that folder is its data name (assets/records/data/strings/tables.cfg
// becomes "data/strings/tables.cfg"). Each is read with the game's record
// reader into its registered type (RecordTypes.h), so an unknown member or a
// malformed value stops the build, and written back with the record writer.
// A ".lst" file there is a list of record names, one a line; every name must
// have its record source beside the list or in its "configs/" folder.
#include "DataTool.h"
#include "RecordTypes.h"

#include "gamedata/records/RecordFile.h"
#include "platform/CSerializable.h"

#include <algorithm>
#include <cctype>

namespace {
// The type name that begins the text, after blanks and comments.
std::string_view leadingWord(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n') {
            ++pos;
        } else if (text.substr(pos, 2) == "//") {
            pos = text.find('\n', pos);
            if (pos == std::string_view::npos)
                return {};
        } else {
            break;
        }
    }
    const std::size_t start = pos;
    while (pos < text.size() && (std::isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_'))
        ++pos;
    return text.substr(start, pos - start);
}

// Checks a list against the record sources and stages it as it stands.
void buildList(DataContext& context, const std::filesystem::path& source, const std::string& name,
               const std::string& body)
{
    const std::filesystem::path folder = source.parent_path();
    int line = 0;
    std::size_t pos = 0;
    bool ok = true;
    while (pos < body.size()) {
        ++line;
        std::size_t end = body.find('\n', pos);
        if (end == std::string::npos)
            end = body.size();
        std::string row = body.substr(pos, end - pos);
        pos = end + 1;
        while (!row.empty() && (row.back() == '\r' || row.back() == ' ' || row.back() == '\t'))
            row.pop_back();
        if (row.empty() || row.front() == '#')
            continue;
        const std::string where = source.string() + ":" + std::to_string(line);
        if (!isRecordName(row)) {
            context.error(where + ": \"" + row + "\" is not a record name");
            ok = false;
        } else if (!std::filesystem::exists(folder / (row + ".cfg")) &&
                   !std::filesystem::exists(folder / "configs" / (row + ".cfg"))) {
            context.error(where + ": no record source for \"" + row + "\"");
            ok = false;
        }
    }
    if (ok)
        context.writeFile(name, body);
}

bool buildRecords(DataContext& context)
{
    const std::filesystem::path root = context.sourceDir() / "records";
    for (const auto& source : listFolder(root, Listing::FilesRecursive)) {
        const std::string name = source.lexically_relative(root).generic_string();
        std::string body;
        if (!readSourceFile(source, body)) {
            context.error("cannot read " + source.string());
            continue;
        }
        if (source.extension() == ".lst") {
            buildList(context, source, name, body);
            continue;
        }
        const std::string_view type = leadingWord(body);
        auto record = makeRecord(type);
        if (!record) {
            context.error(source.string() + ": no record type named \"" + std::string(type) + "\"");
            continue;
        }
        std::string error;
        if (!readRecord(body, source.string(), *record, error)) {
            context.error(error);
            continue;
        }
        context.writeFile(name, writeRecord(*record));
    }
    return !context.failed();
}
}  // namespace

SKYFRONT_DATA_STEP(200, "records", buildRecords);
