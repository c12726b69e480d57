// String tables: assets/strings/<code>/<table>/*.str are the sources of
// "data/strings/<code>/<table>.str". Each subsystem keeps its texts in its
// own source file of the table; the step merges them, refuses a number or a
// key given twice, and writes the entries in number order. A table a
// language lacks falls back to English at run time.
#include "DataTool.h"

#include "platform/Language.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <map>

namespace {
bool buildTable(DataContext& context, const std::string& code, const std::filesystem::path& folder)
{
    const std::string table = folder.filename().string();
    std::vector<StringEntry> entries;
    std::map<int, std::string> numberSource;
    std::map<std::string, std::string> keySource;
    bool ok = true;
    for (const auto& source : listFolder(folder, Listing::Files, ".str")) {
        std::string text;
        std::vector<StringEntry> read;
        std::string error;
        if (!readSourceFile(source, text)) {
            context.error("cannot read " + source.string());
            ok = false;
        } else if (!parseStringTable(text, source.string(), read, error)) {
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
    for (const auto& language : listFolder(context.sourceDir() / "strings", Listing::Folders)) {
        const std::string code = language.filename().string();
        const int index = languageIndexOfCode(code);
        if (index < 0 || code != languageTable[index].code) {
            context.error(language.string() + ": not a language code of the language table");
            continue;
        }
        for (const auto& table : listFolder(language, Listing::Folders)) {
            if (!buildTable(context, code, table))
                return false;
        }
    }
    return !context.failed();
}
}  // namespace

SKYFRONT_DATA_STEP(100, "strings", buildStrings);
