#pragma once
// Rings that hold each entry twice, at i % capacity and capacity further on, so that the
// latest capacity entries always lie in a row: a span, oldest first, with no wrap to mend.
#include <algorithm>
#include <span>

// Writes entry as entry i (counted from the ring's first), both of its copies.
template <typename T>
void put_twice(T ring[], int capacity, long i, const T& entry)
{
    const long slot = i % capacity;
    ring[slot] = entry;
    ring[slot + capacity] = entry;
}

// Appends entry as entry *count, and counts it.
template <typename T>
void push_twice(T ring[], int capacity, long* count, const T& entry)
{
    put_twice(ring, capacity, *count, entry);
    *count = *count + 1;
}

// The latest min(n, count, capacity) entries, oldest first.
template <typename T>
std::span<const T> latest(const T ring[], int capacity, long count, long n)
{
    const long held = std::clamp(std::min(n, count), 0L, static_cast<long>(capacity));
    return {ring + (count - held) % capacity, static_cast<std::size_t>(held)};
}
