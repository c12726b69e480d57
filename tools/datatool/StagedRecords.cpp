#include "StagedRecords.h"

#include "platform/File.h"
#include "platform/Log.h"

StagedRecords::StagedRecords(DataContext& context) : m_oldRoot(dataRoot())
{
    setDataRoot(context.stageDir().string() + "/");
    setLogCapture([this](LogLevel level, const std::string& tag, const std::string& message) {
        if (level == LogLevel::Warning)
            faults.push_back(tag + ": " + message);
    });
    if (auto file = openFile("data/strings/EN/main.str"); !file || !texts.load(*file))
        faults.push_back("cannot read the English main string table");
    planes.load(PlaneList::kListPath, texts, scratch);
    weapons.load(WeaponList::kListPath, texts);
    units.load(UnitList::kListPath, texts);
    maps.load(MapLists::kFolder, texts);
}

void StagedRecords::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    setLogCapture({});
    setDataRoot(m_oldRoot);
}
