#pragma once
// 64-bit FNV-1a over bytes, for hashes of curves that show any changed bit.
#include <cstddef>
#include <cstdint>

constexpr std::uint64_t FNV1A_OFFSET_BASIS = 14695981039346656037ull;
constexpr std::uint64_t FNV1A_PRIME = 1099511628211ull;

inline std::uint64_t fnv1a(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint64_t h = FNV1A_OFFSET_BASIS;
    for (std::size_t i = 0; i < size; ++i) {
        h ^= bytes[i];
        h *= FNV1A_PRIME;
    }
    return h;
}
