// The Jacobi lanes, one entry per instruction set: whole groups of lanes of
// the first `n` tensors; each returns how many points it computed (0 where
// the instruction set is not built).
#pragma once

#include <cstddef>

namespace kovan {

size_t principal_values_sse2(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1);
size_t principal_values_avx2(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1);

}  // namespace kovan
