// Configuration records (.cfg, .psc, lists): text in, and what reads in must
// write out and read back to the same text.
#include "FuzzTarget.h"

#include "platform/CSerializable.h"

namespace {
const SerEnumValue kBlend[] = {{0, "ADDI"}, {1, "ADAL"}, {2, "BLND"}, {3, "NORM"}};

struct Stage : CSerializable {
    int blend = 0;
    float size = 1.0f;
    Color4 color;
    const char* typeName() const override { return "Stage"; }
    void describe(SerMembers& m) override
    {
        m.add("blend", blend, kBlend);
        m.add("size", size);
        m.add("color", color);
    }
};

struct Group : CSerializable {
    bool enabled = true;
    int count = 0;
    Vec3 gravity;
    std::string name;
    CSerArray<Stage> stages;
    CSerArray<Group> children;
    const char* typeName() const override { return "Group"; }
    void describe(SerMembers& m) override
    {
        m.add("enabled", enabled);
        m.add("count", count);
        m.add("gravity", gravity);
        m.add("name", name);
        m.add("stages", stages);
        m.add("children", children);
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    Group group;
    std::string error;
    if (!readRecord(fuzz::text(data, size), "fuzz.cfg", group, error))
        return 0;
    const std::string written = writeRecord(group);
    Group back;
    FUZZ_CHECK(readRecord(written, "written.cfg", back, error));
    FUZZ_CHECK(writeRecord(back) == written);
    return 0;
}
