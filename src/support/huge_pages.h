// Buffers of many megabytes that are filled right after they are allocated
// (a file's text, a step's arrays). On Linux, asking for transparent huge
// pages before the first touch lets the kernel map them 2 MB at a time
// instead of 4 KB: on virtual machines, where every first touch of a page is
// costly, that makes filling fresh memory much faster. The memory goes back
// when it is freed, as any other.
#pragma once

#include <cstddef>
#include <vector>

namespace kovan {

// Advice only: nothing changes where the system does not take it.
void advise_huge_pages(const void* data, size_t bytes) noexcept;

// A vector of n zeros, its memory advised before the zeros are written.
template <class T>
std::vector<T> fresh_vector(size_t n) {
    std::vector<T> values;
    values.reserve(n);
    advise_huge_pages(values.data(), n * sizeof(T));
    values.resize(n);
    return values;
}

}  // namespace kovan
