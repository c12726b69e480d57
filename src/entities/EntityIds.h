#pragma once
#include <array>
#include <cstddef>

// A table of ids in use. Allocation past the capacity fails (-1) instead of
// handing out an id that would index past the tables sized by it.
template <std::size_t N>
class IdTable {
public:
    static constexpr int kCapacity = static_cast<int>(N);

    // The first free id, marked used; -1 when all are used.
    int acquire()
    {
        for (int i = 0; i < kCapacity; ++i)
            if (!m_used[i]) {
                m_used[i] = true;
                return i;
            }
        return -1;
    }
    // Marks a given id used (an id taken over from the network); false when
    // out of range or already used.
    bool claim(int id)
    {
        if (id < 0 || id >= kCapacity || m_used[id])
            return false;
        m_used[id] = true;
        return true;
    }
    void release(int id)
    {
        if (id >= 0 && id < kCapacity)
            m_used[id] = false;
    }
    bool isUsed(int id) const { return id >= 0 && id < kCapacity && m_used[id]; }
    void clear() { m_used.fill(false); }
    int usedCount() const
    {
        int n = 0;
        for (bool used : m_used)
            n += used ? 1 : 0;
        return n;
    }

private:
    std::array<bool, N> m_used{};
};

// The id tables of the world's objects; a new game clears them.
IdTable<256>& targetIds();
IdTable<128>& squadronIds();
IdTable<256>& missileIds();
IdTable<256>& weaponIds();
void clearEntityIds();
