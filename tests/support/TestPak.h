#pragma once
#include <string>
#include <utility>
#include <vector>

// Writes a pak holding the given (name, bytes) entries; false on a write error.
bool writeTestPak(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries);

// Points the file layer at a save folder and a data root for one test and puts
// the previous folders back (and unmounts every pak) when it goes away.
class FileLayerScope {
public:
    FileLayerScope(std::string saveFolder, std::string dataRoot);
    ~FileLayerScope();
    FileLayerScope(const FileLayerScope&) = delete;
    FileLayerScope& operator=(const FileLayerScope&) = delete;

private:
    std::string m_oldSave, m_oldData;
};
