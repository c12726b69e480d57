#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class StringTable;

// The interface languages, their string tables and the localized lookups.
// Main thread only.

struct LanguageEntry {
    char code[3];              // two letters and a terminator
    std::uint8_t flagFrame;    // flag picture of the language page (sprite set 15)
    std::uint8_t flagFrame2;   // its second frame
};

constexpr int kLanguageCount = 10;
// Indices 6, 7 and 8 are Chinese, Japanese and Korean, 9 Russian. The "XX"
// entry only ends the table and is never selected.
inline constexpr LanguageEntry languageTable[kLanguageCount + 1] = {
    {"EN", 0, 1},   {"FR", 2, 3},   {"DE", 4, 5},   {"ES", 6, 7},   {"IT", 8, 9},  {"PT", 10, 11},
    {"ZH", 12, 13}, {"JA", 14, 15}, {"KO", 16, 17}, {"RU", 18, 19}, {"XX", 0, 0},
};

// Index of that code (letter case ignored); -1 when it is not one of the ten.
int languageIndexOfCode(std::string_view code);

// The selected entry of languageTable; -1 before the first language is set.
// Widgets remember it and re-measure their labels when it differs.
int currentLanguage();

// Selects the entry and reloads every string table listed in
// "data/strings/tables.cfg" from "data/strings/<code>/"; a table missing in
// that language comes from "EN". An index outside 0..9 selects 0. Calls the
// change hooks afterwards. False when the main table could not be loaded in
// any language (lookups then give empty texts).
bool setLanguageByIndex(int index);
// The same by two-letter code; an unknown code selects EN.
bool setLanguageByCode(std::string_view code);

// Called after every language switch, once the new texts are loaded.
// Returns an id for removeLanguageChangeHook.
int addLanguageChangeHook(std::function<void()> hook);
void removeLanguageChangeHook(int id);

// The language-changed flag: raised by the language page, taken (read and
// cleared) once by the main loop, which then rebuilds the menus.
void raiseLanguageChanged();
bool takeLanguageChanged();

// The main string table, loaded in the current language (English before the
// first switch) when no table is loaded yet; an empty table when none loads.
const StringTable& findStringTable();
// Drops every loaded table; the current language number stays.
void unloadStringTables();

// Text n of the main table; "DUMMY" for a negative, missing or too large n;
// an empty text when no table is loaded. Never null; valid until the next
// language switch. The texts are formats for "%w" and "%d".
const std::u16string& getStringByIndex(int n);
// The text whose key is id, searching every loaded table; "DUMMY" when no
// table has it (also for an empty or null id).
const std::u16string& getStringById(std::string_view id);
const std::u16string& getStringById(const char* id);
// The main table's count (highest number + 1); 0 when none is loaded.
int stringCount();
