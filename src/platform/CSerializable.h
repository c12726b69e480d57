#pragma once
#include "platform/Math.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class File;
class CSerArrayBase;

// Configuration records in the text record format:
//
//   // comment to the end of the line
//   PConfig {
//       sizeScale 1.5                       float
//       soundID FXS_EXPL_AIR_BIG            enumeration: a name of its table or any integer
//       foggy true                          bool: true, false, 1 or 0
//       emitDir 0 1 0                       3-vector
//       colorMin 255 128 0 255              color, RGBA bytes
//       name "big \"boom\""                 string: escapes \" \\ \n \t \xHH
//       groups [ PGroup { ... } PGroup { ... } ]   array of records, in order
//   }
//
// Numbers never depend on the user's locale. A member the text does not name
// keeps the value it had, so callers reset a record to its defaults first.

// Member type codes.
enum class SerType : std::uint8_t { Bool = 0, Int = 1, Float = 2, Vec3 = 3, Color = 4, Array = 5, String = 6 };

// One (value, name) pair of an enumeration table. An enumeration member reads
// a name of its table or any number, so it may hold a value outside the table.
struct SerEnumValue {
    int value;
    const char* name;
};

// Limits of the reader; passing one is a load error.
constexpr int kMaxRecordDepth = 16;               // records nested in records
constexpr int kMaxRecordArrayLength = 65536;      // elements of one array
constexpr std::size_t kMaxRecordString = 4096;    // bytes of one string
constexpr std::size_t kMaxRecordFileBytes = 16u * 1024u * 1024u;

// The member table of one record: what its describe() lists, in order.
class SerMembers {
public:
    struct Member {
        const char* name;
        SerType type;
        std::span<const SerEnumValue> enumTable;  // Int members only; empty for plain numbers
        void* value;                              // the member itself, of the type's C++ type
    };

    void add(const char* name, bool& value);
    void add(const char* name, int& value, std::span<const SerEnumValue> enumTable = {});
    void add(const char* name, float& value);
    void add(const char* name, Vec3& value);
    void add(const char* name, Color4& value);
    void add(const char* name, std::string& value);
    void add(const char* name, CSerArrayBase& value);

    // Null when the record has no member of that name (names are case-sensitive).
    const Member* find(std::string_view name) const;
    std::span<const Member> all() const { return m_members; }

private:
    std::vector<Member> m_members;
};

// The base of every configuration record.
class CSerializable {
public:
    virtual ~CSerializable() = default;
    // The record's type name as written in the text ("PConfig").
    virtual const char* typeName() const = 0;
    // Lists every member with its name, type and enumeration table. Only takes
    // the members' addresses; defaults come from the constructor.
    virtual void describe(SerMembers& members) = 0;

    // Reads the whole file as one record of this type. False after logging
    // the first error as "file:line: what"; the members read
    // before the error keep their values.
    [[nodiscard]] bool loadFile(File& file);

protected:
    CSerializable() = default;
    CSerializable(const CSerializable&) = default;
    CSerializable& operator=(const CSerializable&) = default;
};

// An array member that owns its records.
class CSerArrayBase {
public:
    virtual ~CSerArrayBase() = default;
    virtual int count() const = 0;
    // The element as stored; null when index is outside 0..count-1.
    virtual CSerializable* at(int index) = 0;
    virtual const CSerializable* at(int index) const = 0;
    // The element, created with its defaults (with any missing ones before
    // it) when it does not exist yet; null for a negative index or one past
    // the array limit.
    virtual CSerializable* getOrCreate(int index) = 0;
    // Deletes elements from the end, or adds default ones, until count is n.
    virtual void resize(int n) = 0;
    // Deletes every element and empties the array.
    void clear() { resize(0); }
};

template <class T>
class CSerArray final : public CSerArrayBase {
public:
    int count() const override { return static_cast<int>(m_items.size()); }
    T* at(int index) override { return inRange(index) ? m_items[static_cast<std::size_t>(index)].get() : nullptr; }
    const T* at(int index) const override
    {
        return inRange(index) ? m_items[static_cast<std::size_t>(index)].get() : nullptr;
    }
    T* getOrCreate(int index) override
    {
        if (index < 0 || index >= kMaxRecordArrayLength)
            return nullptr;
        if (index >= count())
            resize(index + 1);
        return m_items[static_cast<std::size_t>(index)].get();
    }
    void resize(int n) override
    {
        if (n < 0)
            n = 0;
        const auto size = static_cast<std::size_t>(n);
        if (size < m_items.size()) {
            m_items.resize(size);
            return;
        }
        while (m_items.size() < size)
            m_items.push_back(std::make_unique<T>());
    }

private:
    bool inRange(int index) const { return index >= 0 && index < count(); }
    std::vector<std::unique_ptr<T>> m_items;
};

// Reads text as one record; on failure error holds "source:line: what" and
// the members read before the error keep their values.
[[nodiscard]] bool readRecord(std::string_view text, std::string_view sourceName, CSerializable& record,
                              std::string& error);
// The record in the text format, every member in table order; readRecord
// gives the same values back.
std::string writeRecord(const CSerializable& record);
