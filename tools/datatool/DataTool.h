#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What every data step gets: where the sources are, where the staged tree
// goes, and one way to write a data file so that the pak and the hash list
// see it too.
class DataContext {
public:
    DataContext(std::filesystem::path sourceDir, std::filesystem::path stageDir);

    // assets/ in the repository.
    const std::filesystem::path& sourceDir() const { return m_sourceDir; }
    // The staged tree: bin/, data/, paks/.
    const std::filesystem::path& stageDir() const { return m_stageDir; }

    // Writes a file at its name under the data root ("data/strings/EN/main.str")
    // into the staged tree and remembers it for the pak. False on a write error
    // (also recorded as an error of the run).
    bool writeFile(std::string_view name, std::span<const std::uint8_t> bytes);
    bool writeFile(std::string_view name, std::string_view text);
    // Names written so far, in order.
    const std::vector<std::string>& writtenFiles() const { return m_written; }

    // Reports a fault of the sources; the run fails at its end.
    void error(const std::string& message);
    bool failed() const { return m_failed; }

private:
    std::filesystem::path m_sourceDir;
    std::filesystem::path m_stageDir;
    std::vector<std::string> m_written;
    bool m_failed = false;
};

// Helpers for the steps. The whole file; false when it cannot be read.
bool readSourceFile(const std::filesystem::path& path, std::string& out);
// The folder's entries, sorted by name: its files with that extension (".str";
// empty for all), or its subfolders. Recursive lists every file below it.
enum class Listing { Files, Folders, FilesRecursive };
std::vector<std::filesystem::path> listFolder(const std::filesystem::path& folder, Listing what,
                                              std::string_view extension = {});

// One kind of data. Steps run in ascending order; the pak and the hash list are
// written by the last steps, after every file exists.
struct DataStep {
    int order;
    const char* name;
    bool (*run)(DataContext& context);
};

// Registers a step from its own .cpp file:
//   static bool buildStrings(DataContext& c) { ... }
//   SKYFRONT_DATA_STEP(100, "strings", buildStrings);
struct DataStepRegistration {
    DataStepRegistration(int order, const char* name, bool (*run)(DataContext&));
};
#define SKYFRONT_DATA_STEP_JOIN2(a, b) a##b
#define SKYFRONT_DATA_STEP_JOIN(a, b) SKYFRONT_DATA_STEP_JOIN2(a, b)
#define SKYFRONT_DATA_STEP(order, name, fn) \
    static const DataStepRegistration SKYFRONT_DATA_STEP_JOIN(s_dataStep, __LINE__)(order, name, fn)

// Step orders in use: 100 strings, 200 records, 210 particle descriptions, 300 fonts,
// 400 sprite sheets, 500 models (510 aircraft, 520 units, 540 flag cloths), 600 terrain and worlds
// (640 the briefing maps),
// 700 sounds, 710 music, 800 game data check, 900 hash list, 1000 pak.
// Sources: string texts in assets/strings/<code>/<table>/*.str (StringsStep.cpp);
// records in assets/records/ at their data name, their types registered in
// RecordTypes.h (RecordsStep.cpp).
