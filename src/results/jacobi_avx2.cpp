// The Jacobi lanes on AVX2: four points at a time. This file alone is
// compiled for AVX2, and it runs only where the processor reports AVX2.
// Not on Windows, where GCC does not align the stack for 32-byte spills.
#include "results/jacobi_sets.h"

#if defined(__AVX2__) && !defined(_WIN32)
#include "results/jacobi_lanes.h"
#include <immintrin.h>
#endif

namespace kovan {

#if defined(__AVX2__) && !defined(_WIN32)
namespace {

using Avx2Lanes = double __attribute__((vector_size(32)));
constexpr int kGroups = 4;  // sixteen points in flight

struct Avx2Sqrt {
    static inline __attribute__((always_inline)) Avx2Lanes apply(Avx2Lanes x) {
        return reinterpret_cast<Avx2Lanes>(_mm256_sqrt_pd(reinterpret_cast<__m256d>(x)));
    }
};

}  // namespace

size_t principal_values_avx2(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1) {
    return principal_values_lanes<Avx2Lanes, Avx2Sqrt, kGroups>(tensors, n, ps3, ps2, ps1);
}
#else
size_t principal_values_avx2(const double*, size_t, double*, double*, double*) { return 0; }
#endif

}  // namespace kovan
