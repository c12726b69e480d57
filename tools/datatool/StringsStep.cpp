// String tables: assets/strings/<code>/<table>/*.str are the sources of
// "data/strings/<code>/<table>.str". Each subsystem keeps its texts in its
// own source file of the table; the step merges them, refuses a number or a
// key given twice, and writes the entries in number order. Only English
// sources exist; other languages fall back to them at run time.
#include "DataTool.h"

#include "platform/Language.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

namespace {
bool buildTable(DataContext& context, const std::string& code, const std::filesystem::path& folder)
{
    const std::string table = folder.filename().string();
    std::vector<std::filesystem::path> sources;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
        if (item.is_regular_file() && item.path().extension() == ".str")
            sources.push_back(item.path());
    }
    std::sort(sources.begin(), sources.end());
    std::vector<StringEntry> entries;
    std::map<int, std::string> numberSource;
    std::map<std::string, std::string> keySource;
    bool ok = true;
    for (const auto& source : sources) {
        std::ifstream in(source, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::vector<StringEntry> read;
        std::string error;
        if (!parseStringTable(text.str(), source.string(), read, error)) {
            context.error(error);
            ok = false;
        }
        for (StringEntry& entry : read) {
            const std::string where = source.string() + ":" + std::to_string(entry.line);
            if (entry.text.empty()) {
                context.error(where + ": empty text");
                ok = false;
            }
            if (!numberSource.emplace(entry.number, where).second) {
                context.error(where + ": string " + std::to_string(entry.number) + " already given at " +
                              numberSource[entry.number]);
                ok = false;
            }
            if (!entry.key.empty() && !keySource.emplace(entry.key, where).second) {
                context.error(where + ": key " + entry.key + " already given at " + keySource[entry.key]);
                ok = false;
            }
            entries.push_back(std::move(entry));
        }
    }
    if (!ok)
        return false;
    std::sort(entries.begin(), entries.end(),
              [](const StringEntry& a, const StringEntry& b) { return a.number < b.number; });
    const std::string header = "# " + code + " string table \"" + table + "\", made by the data tool from assets/strings/" +
                               code + "/" + table + "/\n";
    return context.writeFile("data/strings/" + code + "/" + table + ".str", header + formatStringTable(entries));
}

bool buildStrings(DataContext& context)
{
    const std::filesystem::path root = context.sourceDir() / "strings";
    std::error_code ec;
    std::vector<std::filesystem::path> languages;
    for (const auto& item : std::filesystem::directory_iterator(root, ec)) {
        if (item.is_directory())
            languages.push_back(item.path());
    }
    std::sort(languages.begin(), languages.end());
    for (const auto& language : languages) {
        const std::string code = language.filename().string();
        if (languageIndexOfCode(code) < 0 || code != languageTable[languageIndexOfCode(code)].code) {
            context.error(language.string() + ": not a language code of the language table");
            continue;
        }
        std::vector<std::filesystem::path> tables;
        for (const auto& item : std::filesystem::directory_iterator(language, ec)) {
            if (item.is_directory())
                tables.push_back(item.path());
        }
        std::sort(tables.begin(), tables.end());
        for (const auto& table : tables) {
            if (!buildTable(context, code, table))
                return false;
        }
    }
    return !context.failed();
}
}  // namespace

SKYFRONT_DATA_STEP(100, "strings", buildStrings);
