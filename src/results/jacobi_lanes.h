// Principal values of many symmetric tensors at once by cyclic Jacobi, one
// point per vector lane. Each lane takes exactly the operations, in the
// order, that principal_values() takes for its point alone, so results are
// bit for bit the same. Included by one file per instruction set; everything
// here has internal linkage so that no code of one set is shared with another.
#pragma once

#include <cstddef>
#include <cstdint>

#include "results/jacobi_sets.h"

namespace kovan {
namespace {

constexpr double kEpsilon = 2.220446049250313e-16;  // 2^-52
constexpr int kMaxSweeps = 12;

// Straight insertion with less-than only: a value less than the first goes
// to the front, otherwise it moves left past each smaller predecessor.
void sort_ascending(double v[3]) {
    for (int i = 1; i < 3; ++i) {
        const double x = v[i];
        int j = i;
        if (x < v[0]) {
            j = 0;
        } else {
            while (x < v[j - 1]) --j;
        }
        for (int k = i; k > j; --k) v[k] = v[k - 1];
        v[j] = x;
    }
}

// A rotation is kept only in the lanes that take it. The matrix is
// symmetric, so six entries carry it.
template <typename V>
struct LaneTensor {
    V a00, a11, a22, a01, a02, a12;
};

template <typename V>
using Mask = decltype(V{} < V{});

template <typename V>
inline __attribute__((always_inline)) V select(Mask<V> take, V a, V b) {
    return reinterpret_cast<V>((take & reinterpret_cast<Mask<V>>(a)) | (~take & reinterpret_cast<Mask<V>>(b)));
}

template <typename V>
inline __attribute__((always_inline)) V magnitude(V x) {
    return reinterpret_cast<V>(reinterpret_cast<Mask<V>>(x) & (Mask<V>{} + INT64_MAX));
}

template <typename V, typename Sqrt>
inline __attribute__((always_inline)) void rotate_lanes(V& pp, V& qq, V& g, V& rp, V& rq, Mask<V> active) {
    const V zero = V{} + 0.0, one = V{} + 1.0, eps = V{} + kEpsilon;
    const Mask<V> take = active & (g != zero) & ~((magnitude(pp) + magnitude(qq)) * eps >= magnitude(g));
    const V theta = (qq - pp) / (g + g);
    const V sigma = select<V>(theta >= zero, one, -one);  // NaN gives -1
    const V t = sigma / (Sqrt::apply(theta * theta + one) + magnitude(theta));
    const V c = one / Sqrt::apply(t * t + one);
    const V s = c * t;
    const V x = rp, y = rq;
    pp = select<V>(take, pp - g * t, pp);
    qq = select<V>(take, g * t + qq, qq);
    g = select<V>(take, zero, g);
    rp = select<V>(take, x * c - y * s, x);
    rq = select<V>(take, x * s + y * c, y);
}

// G groups of lanes side by side: each rotation waits on the one before it
// (divisions and square roots, long latencies), so independent groups fill
// the pipeline while a group waits. Lanes already converged are masked.
template <typename V, typename Sqrt, int G>
inline __attribute__((always_inline)) void jacobi_lanes(LaneTensor<V> (&a)[G]) {
    const V eps = V{} + kEpsilon;
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
        Mask<V> active[G];
        bool any = false;
        for (int g = 0; g < G; ++g) {
            const V diagonal = (magnitude(a[g].a11) + magnitude(a[g].a00)) + magnitude(a[g].a22);
            const V off = (magnitude(a[g].a02) + magnitude(a[g].a01)) + magnitude(a[g].a12);
            active[g] = ~(diagonal * eps >= off);
            for (size_t l = 0; l < sizeof(V) / sizeof(double); ++l) any = any || active[g][l] != 0;
        }
        if (!any) break;
        for (int g = 0; g < G; ++g) rotate_lanes<V, Sqrt>(a[g].a00, a[g].a11, a[g].a01, a[g].a02, a[g].a12, active[g]);
        for (int g = 0; g < G; ++g) rotate_lanes<V, Sqrt>(a[g].a00, a[g].a22, a[g].a02, a[g].a01, a[g].a12, active[g]);
        for (int g = 0; g < G; ++g) rotate_lanes<V, Sqrt>(a[g].a11, a[g].a22, a[g].a12, a[g].a01, a[g].a02, active[g]);
    }
}

// The points of whole batches of G groups of lanes; returns how many.
template <typename V, typename Sqrt, int G>
inline size_t principal_values_lanes(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1) {
    constexpr size_t kLanes = sizeof(V) / sizeof(double);
    constexpr size_t kBatch = kLanes * G;
    size_t p = 0;
    for (; p + kBatch <= n; p += kBatch) {
        LaneTensor<V> a[G];
        for (size_t k = 0; k < kBatch; ++k) {
            const double* s = tensors + 6 * (p + k);
            LaneTensor<V>& t = a[k / kLanes];
            const size_t l = k % kLanes;
            t.a00[l] = s[0], t.a11[l] = s[1], t.a22[l] = s[2], t.a01[l] = s[3], t.a12[l] = s[4], t.a02[l] = s[5];
        }
        jacobi_lanes<V, Sqrt, G>(a);
        for (size_t k = 0; k < kBatch; ++k) {
            const LaneTensor<V>& t = a[k / kLanes];
            const size_t l = k % kLanes;
            double v[3] = {t.a00[l], t.a11[l], t.a22[l]};
            sort_ascending(v);
            ps3[p + k] = v[0];
            ps2[p + k] = v[1];
            ps1[p + k] = v[2];
        }
    }
    return p;
}

}  // namespace
}  // namespace kovan
