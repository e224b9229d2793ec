// The memory of a document's released steps, for its next decodes: a viewer
// stepping through a file, letting each step go, decodes the next one into
// memory already touched instead of fresh pages (which the kernel must
// clear first, slower than the decoding itself on many machines).
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kovan {

struct ArrayPool {
    std::mutex lock;
    std::vector<std::vector<double>> buffers;  // cleared, capacity kept
    uint64_t held = 0;                         // doubles of capacity in buffers
    uint64_t most = 0;                         // the most a released step gave back
};

// An empty vector with room for `n` doubles: from the pool where a buffer
// large enough is there (the smallest such), else fresh (advised for huge
// pages before its first touch). `pool` may be null.
std::vector<double> take_buffer(ArrayPool* pool, size_t n);

// Takes a released step's buffers back; the pool keeps about one step's
// worth (the largest given back), so that it never holds more than a step.
void give_back(ArrayPool& pool, std::vector<std::vector<double>>&& buffers);

}  // namespace kovan
