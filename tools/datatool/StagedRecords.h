#pragma once
// The staged records read back with the game's own loaders, for the checks
// that run after the build. Every warning logged meanwhile is kept as a fault.
#include "DataTool.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <string>
#include <vector>

class StagedRecords {
public:
    // Points the file layer at the stage and loads the English texts and the
    // plane, weapon, unit and map lists.
    explicit StagedRecords(DataContext& context);
    // Stops keeping warnings and gives the file layer its old root back.
    ~StagedRecords() { finish(); }
    StagedRecords(const StagedRecords&) = delete;
    StagedRecords& operator=(const StagedRecords&) = delete;

    // As the destructor, earlier; the faults stay readable.
    void finish();

    std::vector<std::string> faults;
    StringTable texts;
    Settings scratch;
    PlaneList planes;
    WeaponList weapons;
    UnitList units;
    MapLists maps;

private:
    std::string m_oldRoot;
    bool m_finished = false;
};
