// Records: every file under assets/records/ is one record source whose path
// below that folder is its data name (assets/records/data/strings/tables.cfg
// becomes "data/strings/tables.cfg"). Each is read with the game's record
// reader into its registered type (RecordTypes.h), so an unknown member or a
// malformed value stops the build, and written back with the record writer.
#include "DataTool.h"
#include "RecordTypes.h"

#include "platform/CSerializable.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

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

bool buildRecords(DataContext& context)
{
    const std::filesystem::path root = context.sourceDir() / "records";
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec))
        return true;
    std::vector<std::filesystem::path> sources;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root, ec)) {
        if (item.is_regular_file())
            sources.push_back(item.path());
    }
    std::sort(sources.begin(), sources.end());
    for (const auto& source : sources) {
        const std::string name = source.lexically_relative(root).generic_string();
        std::ifstream in(source, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string body = text.str();
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
