#include "platform/Language.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/StringTable.h"
#include "platform/StringTableListCfg.h"

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {
const std::u16string kDummy = u"DUMMY";
const std::u16string kEmpty;

struct LanguageState {
    int current = -1;
    bool loaded = false;
    std::vector<StringTable> tables;  // the main table first
    std::vector<std::pair<int, std::function<void()>>> hooks;
    int nextHookId = 1;
    bool changed = false;
};

LanguageState& state()
{
    static LanguageState s;
    return s;
}

bool isPlainName(const std::string& name)
{
    return !name.empty() && name.size() <= 64 && name.find('/') == std::string::npos && isSafeFileName(name) &&
           name != ".";
}

// The table names of every language; "main" alone when the list is missing or damaged.
std::vector<std::string> tableNames()
{
    const char* listName = "data/strings/tables.cfg";
    std::vector<std::string> names;
    StringTableListCfg list;
    auto file = openFile(listName);
    if (!file)
        logWarning("platform", "%s: missing; loading the main string table only", listName);
    else if (list.loadFile(*file)) {
        for (int i = 0; i < list.tables.count(); ++i) {
            const std::string& name = list.tables.at(i)->name;
            if (isPlainName(name))
                names.push_back(name);
            else
                logWarning("platform", "%s: bad table name \"%s\" ignored", listName, name.c_str());
        }
    }
    if (names.empty())
        names.push_back("main");
    return names;
}

std::unique_ptr<File> openTable(const std::string& code, const std::string& name)
{
    auto file = openFile("data/strings/" + code + "/" + name + ".str");
    if (!file && code != "EN")
        file = openFile("data/strings/EN/" + name + ".str");
    return file;
}

bool loadTables(int language)
{
    LanguageState& s = state();
    const std::string code = languageTable[language < 0 ? 0 : language].code;
    s.tables.clear();
    bool mainLoaded = false;
    for (const std::string& name : tableNames()) {
        StringTable table;
        auto file = openTable(code, name);
        const bool ok = file && table.load(*file);
        if (!ok)
            logWarning("platform", "string table %s/%s.str: missing", code.c_str(), name.c_str());
        if (s.tables.empty())
            mainLoaded = ok;
        s.tables.push_back(std::move(table));
    }
    s.loaded = mainLoaded;
    if (!mainLoaded)
        s.tables.clear();
    return mainLoaded;
}
}  // namespace

int languageIndexOfCode(std::string_view code)
{
    if (code.size() != 2)
        return -1;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (int i = 0; i < kLanguageCount; ++i) {
        if (upper(code[0]) == languageTable[i].code[0] && upper(code[1]) == languageTable[i].code[1])
            return i;
    }
    return -1;
}

int currentLanguage()
{
    return state().current;
}

bool setLanguageByIndex(int index)
{
    LanguageState& s = state();
    s.current = index >= 0 && index < kLanguageCount ? index : 0;
    const bool ok = loadTables(s.current);
    if (ok)
        logInfo("platform", "texts in %s: %d strings", languageTable[s.current].code, s.tables.front().count());
    // A hook may add or remove hooks: call a copy.
    const auto hooks = s.hooks;
    for (const auto& hook : hooks)
        hook.second();
    return ok;
}

bool setLanguageByCode(std::string_view code)
{
    const int index = languageIndexOfCode(code);
    return setLanguageByIndex(index < 0 ? 0 : index);
}

int addLanguageChangeHook(std::function<void()> hook)
{
    LanguageState& s = state();
    const int id = s.nextHookId++;
    s.hooks.emplace_back(id, std::move(hook));
    return id;
}

void removeLanguageChangeHook(int id)
{
    auto& hooks = state().hooks;
    for (auto it = hooks.begin(); it != hooks.end(); ++it) {
        if (it->first == id) {
            hooks.erase(it);
            return;
        }
    }
}

void raiseLanguageChanged()
{
    state().changed = true;
}

bool takeLanguageChanged()
{
    const bool changed = state().changed;
    state().changed = false;
    return changed;
}

const StringTable& findStringTable()
{
    static const StringTable kNoTable;
    LanguageState& s = state();
    if (!s.loaded)
        loadTables(s.current);
    return s.loaded ? s.tables.front() : kNoTable;
}

void unloadStringTables()
{
    state().tables.clear();
    state().loaded = false;
}

const std::u16string& getStringByIndex(int n)
{
    const LanguageState& s = state();
    if (!s.loaded)
        return kEmpty;
    const std::u16string* text = s.tables.front().text(n);
    return text ? *text : kDummy;
}

const std::u16string& getStringById(std::string_view id)
{
    for (const StringTable& table : state().tables) {
        const int n = table.findId(id);
        if (n >= 0)
            return *table.text(n);
    }
    return kDummy;
}

const std::u16string& getStringById(const char* id)
{
    return id ? getStringById(std::string_view(id)) : kDummy;
}

int stringCount()
{
    const LanguageState& s = state();
    return s.loaded ? s.tables.front().count() : 0;
}
