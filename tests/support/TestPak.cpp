#include "TestPak.h"

#include "platform/File.h"
#include "platform/Pak.h"
#include "platform/PakWriter.h"

#include <cstdint>
#include <span>

bool writeTestPak(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    PakWriter writer;
    if (!writer.open(path))
        return false;
    for (const auto& [name, bytes] : entries) {
        const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        if (!writer.add(name, data))
            return false;
    }
    return writer.close();
}

FileLayerScope::FileLayerScope(std::string saveFolder, std::string dataRoot)
    : m_oldSave(::saveFolder()), m_oldData(::dataRoot())
{
    setSaveFolder(std::move(saveFolder));
    setDataRoot(std::move(dataRoot));
}

FileLayerScope::~FileLayerScope()
{
    unmountAllPaks();
    setSaveFolder(m_oldSave);
    setDataRoot(m_oldData);
}
