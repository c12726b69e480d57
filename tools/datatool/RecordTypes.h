#pragma once
#include <memory>
#include <string_view>

class CSerializable;

// The record types the records step can read from assets/records/, by the
// type name that begins each source. Every library that owns records adds a
// file here registering its top-level types:
//   SKYFRONT_RECORD_TYPE(StringTableListCfg);
using RecordFactory = std::unique_ptr<CSerializable> (*)();

struct RecordTypeRegistration {
    RecordTypeRegistration(const char* typeName, RecordFactory make);
};
// Null when no type of that name is registered.
std::unique_ptr<CSerializable> makeRecord(std::string_view typeName);

#define SKYFRONT_RECORD_TYPE_JOIN2(a, b) a##b
#define SKYFRONT_RECORD_TYPE_JOIN(a, b) SKYFRONT_RECORD_TYPE_JOIN2(a, b)
#define SKYFRONT_RECORD_TYPE(Type)                                                                                 \
    static const RecordTypeRegistration SKYFRONT_RECORD_TYPE_JOIN(s_recordType, __LINE__)(                          \
        Type().typeName(), []() -> std::unique_ptr<CSerializable> { return std::make_unique<Type>(); })
