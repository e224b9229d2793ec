// What the processor running the library can do, asked once.
#pragma once

namespace kovan {

// True where the code built for AVX2 may run: an x86-64 processor that
// reports AVX2, outside Windows (where GCC does not align the stack for
// 32-byte spills).
bool processor_runs_avx2();

}  // namespace kovan
