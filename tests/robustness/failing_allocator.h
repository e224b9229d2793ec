// Global allocation functions that can be told to fail: the N-th allocation
// after arming throws std::bad_alloc (or returns null for the nothrow forms).
#pragma once

#include <cstdint>

namespace kovan_test {

// Arms the allocator: allocation number `n` (1-based) from now fails.
void fail_allocation(uint64_t n);
// Disarms it; true when the armed allocation was reached.
bool stop_failing();

}  // namespace kovan_test
