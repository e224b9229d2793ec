// Buffers handed to the caller, released with kovan_free.
#pragma once

#include <cstdint>
#include <string>

namespace kovan {

// Copies `bytes` into a new malloc'd buffer with a NUL byte after them;
// false, with the outputs untouched, when it cannot be allocated.
bool hand_out(const std::string& bytes, char** out, uint64_t* out_size) noexcept;

}  // namespace kovan
