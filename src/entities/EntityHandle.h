#pragma once
#include <cstdint>

class Target;

// A reference to a target that is safe to keep across frames: the target's id
// and the serial it was given when it was made. Ids are reused as soon as a
// target is deleted, so the id alone could name a newcomer; the serial tells
// them apart. A stale handle resolves to null and is otherwise harmless.
// Code above entities keeps these instead of Target pointers for targets it
// does not own.
class EntityHandle {
public:
    EntityHandle() = default;  // empty: resolves to null
    // Empty for null and for a target that has no id.
    explicit EntityHandle(const Target* target);

    // The target while it lives; null once it was deleted, even when its id
    // was given to another target since. A target marked for removal still
    // resolves until the host deletes it at the end of the frame.
    Target* resolve() const;
    bool isEmpty() const { return m_serial == 0; }
    // Whether this names the given target (false for null).
    bool refersTo(const Target* target) const;
    void reset() { *this = EntityHandle(); }

    int id() const { return m_id; }
    std::uint32_t serial() const { return m_serial; }
    bool operator==(const EntityHandle&) const = default;

private:
    int m_id = -1;
    std::uint32_t m_serial = 0;
};
