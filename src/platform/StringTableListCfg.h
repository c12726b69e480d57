#pragma once
#include "platform/CSerializable.h"

#include <string>

// One string table of every language: "data/strings/<code>/<name>.str".
struct StringTableFileCfg : CSerializable {
    std::string name;  // a plain file name without folder or ".str"
    const char* typeName() const override { return "StringTableFile"; }
    void describe(SerMembers& members) override { members.add("name", name); }
};

// "data/strings/tables.cfg": the string tables a language switch loads; the
// first is the main table that findId searches.
struct StringTableListCfg : CSerializable {
    CSerArray<StringTableFileCfg> tables;
    const char* typeName() const override { return "StringTableList"; }
    void describe(SerMembers& members) override { members.add("tables", tables); }
};
