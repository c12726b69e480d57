#include "platform/Array.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// The smallest multiple of 32 that holds n elements (at least 32).
int capacityFor(int n)
{
    constexpr int kLargest = std::numeric_limits<int>::max() / Array::kCapacityStep * Array::kCapacityStep;
    if (n > kLargest)
        return kLargest;
    return std::max(Array::kCapacityStep, (n + Array::kCapacityStep - 1) / Array::kCapacityStep * Array::kCapacityStep);
}

}  // namespace

Array::Array(Array&& source) noexcept
    : data(std::exchange(source.data, nullptr)),
      count(std::exchange(source.count, 0)),
      capacity(std::exchange(source.capacity, 0)),
      index(std::exchange(source.index, nullptr))
{
}

Array& Array::operator=(const Array& source)
{
    if (this != &source)
        copy(source);
    return *this;
}

Array& Array::operator=(Array&& source) noexcept
{
    if (this != &source) {
        clear();
        data = std::exchange(source.data, nullptr);
        count = std::exchange(source.count, 0);
        capacity = std::exchange(source.capacity, 0);
        index = std::exchange(source.index, nullptr);
    }
    return *this;
}

void Array::reserve(int n)
{
    n = std::max(n, 0);
    if (capacity < n) {
        clear();
        capacity = capacityFor(n);
        data = new Element[static_cast<std::size_t>(capacity)]();
    }
    count = std::min(n, capacity);
}

void Array::grow(int n)
{
    n = std::max(n, 0);
    if (capacity >= n) {
        count = n;
        return;
    }
    // The old buffer itself serves as the temporary: it is released only
    // after the elements are copied into the new one.
    Element* old = std::exchange(data, nullptr);
    const int kept = std::clamp(count, 0, capacity);
    delete[] std::exchange(index, nullptr);
    capacity = 0;
    count = 0;
    reserve(n);
    std::copy_n(old, kept, data);
    delete[] old;
}

void Array::pushBack(Element value)
{
    const int at = std::max(count, 0);
    grow(at + 1);
    data[at] = value;
}

void Array::clear()
{
    delete[] data;
    delete[] index;
    data = nullptr;
    index = nullptr;
    count = 0;
    capacity = 0;
}

void Array::copy(const Array& source)
{
    if (this == &source)
        return;
    clear();
    const int n = std::clamp(source.count, 0, source.capacity);
    reserve(n);
    std::copy_n(source.data, n, data);
}

void Array::fillIndex()
{
    if (capacity == 0)
        return;
    if (!index)
        index = new Element[static_cast<std::size_t>(capacity)]();
    for (int i = 0; i < std::clamp(count, 0, capacity); ++i)
        index[i] = i;
}

void IntList::pushBack(Element value)
{
    m_head = new Node{value, m_head};
    ++m_count;
}

bool IntList::popFront()
{
    if (!m_head)
        return false;
    Node* gone = std::exchange(m_head, m_head->next);
    delete gone;
    --m_count;
    return true;
}

void IntList::clear()
{
    while (popFront()) {
    }
}
