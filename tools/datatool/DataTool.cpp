#include "DataTool.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {
std::vector<DataStep>& steps()
{
    static std::vector<DataStep> all;
    return all;
}
}  // namespace

DataStepRegistration::DataStepRegistration(int order, const char* name, bool (*run)(DataContext&))
{
    steps().push_back(DataStep{order, name, run});
}

DataContext::DataContext(std::filesystem::path sourceDir, std::filesystem::path stageDir)
    : m_sourceDir(std::move(sourceDir)), m_stageDir(std::move(stageDir))
{
}

bool DataContext::writeFile(std::string_view name, std::span<const std::uint8_t> bytes)
{
    const std::filesystem::path target = m_stageDir / std::filesystem::path(name);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error("cannot write " + target.string());
        return false;
    }
    const std::string entry(name);
    if (std::find(m_written.begin(), m_written.end(), entry) == m_written.end())
        m_written.push_back(entry);
    return true;
}

bool DataContext::writeFile(std::string_view name, std::string_view text)
{
    return writeFile(name, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                         text.size()));
}

void DataContext::error(const std::string& message)
{
    std::fprintf(stderr, "datatool: %s\n", message.c_str());
    m_failed = true;
}

bool readSourceFile(const std::filesystem::path& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::vector<std::filesystem::path> listFolder(const std::filesystem::path& folder, Listing what,
                                              std::string_view extension)
{
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    auto take = [&](const std::filesystem::directory_entry& item) {
        const bool wanted = what == Listing::Folders
                                ? item.is_directory()
                                : item.is_regular_file() && (extension.empty() || item.path().extension() == extension);
        if (wanted)
            found.push_back(item.path());
    };
    if (what == Listing::FilesRecursive) {
        for (const auto& item : std::filesystem::recursive_directory_iterator(folder, ec))
            take(item);
    } else {
        for (const auto& item : std::filesystem::directory_iterator(folder, ec))
            take(item);
    }
    std::sort(found.begin(), found.end());
    return found;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: datatool <assets folder> <stage folder>\n");
        return 2;
    }
    DataContext context(argv[1], argv[2]);
    auto& all = steps();
    std::stable_sort(all.begin(), all.end(), [](const DataStep& a, const DataStep& b) { return a.order < b.order; });
    for (const DataStep& step : all) {
        if (!step.run(context)) {
            context.error(std::string("step \"") + step.name + "\" failed");
            break;
        }
    }
    return context.failed() ? 1 : 0;
}
