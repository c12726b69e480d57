#pragma once
#include <cstddef>

// Per-class registry of at most N live objects: the base of every pooled class.
// The constructor appends the object; the destructor moves the last registered
// object into the freed place, so order is not kept. Per-frame loops, GPU
// reloads and sound updates walk these registries.
//
// An object made while the registry is full keeps index N and stays
// unregistered; its destructor then leaves the registry alone.
//
// Usage: class Texture2D : public ManagedArray<Texture2D, 1024> { ... };
template <typename T, std::size_t N>
class ManagedArray {
public:
    static constexpr std::size_t kCapacity = N;

    static std::size_t count() { return s_count; }
    // The i-th live object, null past the count.
    static T* at(std::size_t i) { return i < s_count && i < N ? static_cast<T*>(s_items[i]) : nullptr; }

    std::size_t managedIndex() const { return m_managedIndex; }
    bool isRegistered() const { return m_managedIndex < N; }

protected:
    ManagedArray()
    {
        if (s_count < N) {
            m_managedIndex = s_count;
            // Kept as the base: while this constructor runs the object is not
            // a T yet, and a polymorphic T may not be cast to before it is.
            s_items[s_count++] = this;
        } else {
            m_managedIndex = N;
        }
    }
    ManagedArray(const ManagedArray&) : ManagedArray() {}
    ManagedArray& operator=(const ManagedArray&) { return *this; }
    ~ManagedArray()
    {
        if (m_managedIndex >= N)
            return;
        const std::size_t last = --s_count;
        if (m_managedIndex != last) {
            ManagedArray* moved = s_items[last];
            s_items[m_managedIndex] = moved;
            moved->m_managedIndex = m_managedIndex;
        }
        s_items[last] = nullptr;
    }

private:
    std::size_t m_managedIndex = N;
    static inline ManagedArray* s_items[N] = {};
    static inline std::size_t s_count = 0;
};
