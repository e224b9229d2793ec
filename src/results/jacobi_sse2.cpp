// The Jacobi lanes on SSE2, the x86-64 baseline: two points at a time.
#include "results/jacobi_sets.h"

#if defined(__SSE2__)
#include "results/jacobi_lanes.h"
#include <emmintrin.h>
#endif

namespace kovan {

#if defined(__SSE2__)
namespace {

using Sse2Lanes = double __attribute__((vector_size(16)));
constexpr int kGroups = 4;  // eight points in flight

struct Sse2Sqrt {
    static inline __attribute__((always_inline)) Sse2Lanes apply(Sse2Lanes x) {
        return reinterpret_cast<Sse2Lanes>(_mm_sqrt_pd(reinterpret_cast<__m128d>(x)));
    }
};

}  // namespace

size_t principal_values_sse2(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1) {
    return principal_values_lanes<Sse2Lanes, Sse2Sqrt, kGroups>(tensors, n, ps3, ps2, ps1);
}
#else
size_t principal_values_sse2(const double*, size_t, double*, double*, double*) { return 0; }
#endif

}  // namespace kovan
