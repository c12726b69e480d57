#pragma once
#include <cstdint>

// A growable array of words in steps of 32. The game mode's lists and the
// score keeper's sort use the standard containers, which own their storage
// and grow by doubling; this class is kept for code that wants the plain
// record. An element is one pointer-sized word (std::intptr_t),
// holding either a pointer or an integer: on a 64-bit machine a pointer does
// not fit the 4-byte words of a 32-bit build. The array never owns what its
// elements point to; owners delete those objects before clearing it.
//
// Capacity grows in steps of 32 elements. reserve() replaces the storage and
// so discards the contents; grow() and setSize() keep them. New storage is
// zero-filled. Owners walk data[0..count-1] directly, remove an element by
// shifting the tail (or moving the last element in) and lowering count, and
// empty a list by setting count to 0.
class Array {
public:
    using Element = std::intptr_t;
    static constexpr int kCapacityStep = 32;

    Element* data = nullptr;
    int count = 0;
    int capacity = 0;  // 0 or a multiple of 32
    // Optional parallel buffer of `capacity` elements, used by the score
    // keeper's parallel sort; released together with data.
    Element* index = nullptr;

    Array() = default;
    Array(const Array& source) { copy(source); }
    Array(Array&& source) noexcept;
    Array& operator=(const Array& source);
    Array& operator=(Array&& source) noexcept;
    ~Array() { clear(); }

    // When the capacity is below n, frees both buffers and allocates a zeroed
    // one of the next multiple of 32; in every case count becomes n. A
    // negative n counts as 0.
    void reserve(int n);
    // Like reserve, but the first count elements survive a new buffer.
    void grow(int n);
    void setSize(int n) { grow(n); }
    void pushBack(Element value);
    template <typename T>
    void pushBack(T* pointer)
    {
        pushBack(reinterpret_cast<Element>(pointer));
    }
    // Frees both buffers; all fields 0.
    void clear();
    // Becomes a copy of the source's elements (not its index buffer).
    void copy(const Array& source);
    // Makes the index buffer exist (capacity elements) and fills it with
    // 0..count-1.
    void fillIndex();

    Element& operator[](int i) { return data[i]; }
    Element operator[](int i) const { return data[i]; }
    template <typename T>
    T* pointerAt(int i) const
    {
        return reinterpret_cast<T*>(data[i]);
    }
    int intAt(int i) const { return static_cast<int>(data[i]); }
};

// The typed face of an Array for lists of pointers to one type: the same storage and growth rules, but elements go in
// and come out as T*, so owners need no casts. The untyped array stays
// reachable for code that takes an Array (the score keeper's index sort).
//
// Owners remove as with Array: shift the tail down with set() and lower the
// count with setSize(count() - 1); setSize(0) empties the list and keeps its
// storage.
template <typename T>
class TypedArray {
public:
    class Iterator {
    public:
        explicit Iterator(const Array::Element* at) : m_at(at) {}
        T* operator*() const { return reinterpret_cast<T*>(*m_at); }
        Iterator& operator++()
        {
            ++m_at;
            return *this;
        }
        bool operator==(const Iterator& other) const = default;

    private:
        const Array::Element* m_at;
    };

    int count() const { return m_array.count; }
    int capacity() const { return m_array.capacity; }
    bool isEmpty() const { return m_array.count <= 0; }

    // Pointer i; i must lie in 0..count()-1, as with Array.
    T* operator[](int i) const { return reinterpret_cast<T*>(m_array.data[i]); }
    void set(int i, T* pointer) { m_array.data[i] = reinterpret_cast<Array::Element>(pointer); }

    void pushBack(T* pointer) { m_array.pushBack(pointer); }
    // The growth rules of Array: reserve() discards the contents, grow() and
    // setSize() keep them; new places hold null.
    void reserve(int n) { m_array.reserve(n); }
    void grow(int n) { m_array.grow(n); }
    void setSize(int n) { m_array.grow(n); }
    void clear() { m_array.clear(); }

    // The elements 0..count()-1 (none while the count is negative).
    Iterator begin() const { return Iterator(m_array.data); }
    Iterator end() const { return Iterator(m_array.data + (m_array.count > 0 ? m_array.count : 0)); }

    Array& untyped() { return m_array; }
    const Array& untyped() const { return m_array; }

private:
    Array m_array;
};

// A stack of pointer-sized values (the menu page history): pushBack puts the
// value next to the list head, where front() finds the most recent one.
class IntList {
public:
    using Element = std::intptr_t;

    IntList() = default;
    IntList(const IntList&) = delete;
    IntList& operator=(const IntList&) = delete;
    ~IntList() { clear(); }

    void pushBack(Element value);
    template <typename T>
    void pushBack(T* pointer)
    {
        pushBack(reinterpret_cast<Element>(pointer));
    }
    // The most recent value; 0 when the list is empty.
    Element front() const { return m_head ? m_head->value : 0; }
    template <typename T>
    T* frontPointer() const
    {
        return reinterpret_cast<T*>(front());
    }
    // Removes the most recent value; false when the list is empty.
    bool popFront();
    void clear();
    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

private:
    struct Node {
        Element value;
        Node* next;
    };
    Node* m_head = nullptr;
    int m_count = 0;
};
