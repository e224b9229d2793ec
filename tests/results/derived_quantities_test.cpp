#include "results/derived_quantities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

using namespace kovan;

namespace {

struct Derived {
    double mises, signed_mises, ps3, ps2, ps1;
};

Derived derive(TensorKind kind, std::initializer_list<double> components) {
    double s[6];
    std::copy(components.begin(), components.end(), s);
    Derived d{};
    d.mises = von_mises(kind, s);
    d.signed_mises = signed_von_mises(d.mises, s);
    double v[3];
    principal_values(s, v);
    d.ps3 = v[0];
    d.ps2 = v[1];
    d.ps1 = v[2];
    return d;
}

uint64_t bits(double value) {
    uint64_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

TEST(DerivedQuantities, UniaxialTensionAndCompression) {
    const Derived t = derive(TensorKind::kStress, {100, 0, 0, 0, 0, 0});
    EXPECT_EQ(t.mises, 100.0);
    EXPECT_EQ(t.signed_mises, 100.0);
    EXPECT_EQ(t.ps1, 100.0);
    EXPECT_EQ(t.ps2, 0.0);
    EXPECT_EQ(t.ps3, 0.0);
    const Derived c = derive(TensorKind::kStress, {-100, 0, 0, 0, 0, 0});
    EXPECT_EQ(c.mises, 100.0);
    EXPECT_EQ(c.signed_mises, -100.0);
    EXPECT_EQ(c.ps1, 0.0);
    EXPECT_EQ(c.ps3, -100.0);
}

TEST(DerivedQuantities, PureShearAsStressAndAsStrain) {
    const Derived s = derive(TensorKind::kStress, {0, 0, 0, 50, 0, 0});
    EXPECT_EQ(s.mises, std::sqrt(7500.0));
    EXPECT_EQ(s.signed_mises, s.mises);
    EXPECT_NEAR(s.ps1, 50.0, 1e-12);
    EXPECT_NEAR(s.ps2, 0.0, 1e-12);
    EXPECT_NEAR(s.ps3, -50.0, 1e-12);
    const Derived e = derive(TensorKind::kStrain, {0, 0, 0, 50, 0, 0});
    EXPECT_EQ(e.mises, std::sqrt(15000.0) * 0.47140452079103173);
    EXPECT_NEAR(e.mises, 57.735, 1e-3);
}

TEST(DerivedQuantities, HydrostaticAndDiagonalTensorsNeedNoSweep) {
    const Derived h = derive(TensorKind::kStress, {-10, -10, -10, 0, 0, 0});
    EXPECT_EQ(h.mises, 0.0);
    EXPECT_EQ(bits(h.signed_mises), bits(-0.0));  // 0 carrying the sign of a negative trace
    EXPECT_EQ(h.ps1, -10.0);
    EXPECT_EQ(h.ps3, -10.0);
    const Derived d = derive(TensorKind::kStress, {3, -7, 1, 0, 0, 0});
    EXPECT_EQ(d.ps3, -7.0);
    EXPECT_EQ(d.ps2, 1.0);
    EXPECT_EQ(d.ps1, 3.0);
    const Derived zero = derive(TensorKind::kStrain, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(zero.mises, 0.0);
    EXPECT_EQ(bits(zero.signed_mises), bits(0.0));
    EXPECT_EQ(zero.ps1, 0.0);
}

TEST(DerivedQuantities, NotANumberPropagates) {
    const Derived n = derive(TensorKind::kStress, {NAN, 1, 2, 3, 4, 5});
    EXPECT_TRUE(std::isnan(n.mises));
    EXPECT_TRUE(std::isnan(n.signed_mises));
    // The NaN branch of the sign is m times 0.
    const double s[6] = {1, 1, NAN, 0, 0, 0};
    EXPECT_EQ(signed_von_mises(2.0, s), 0.0);
}

// Expected bit patterns computed outside this code base, in IEEE doubles,
// with the formula's order of operations.
TEST(DerivedQuantities, MisesFormulasAreExactToTheBit) {
    struct Case {
        double s[6];
        uint64_t stress, strain;
    };
    const Case cases[] = {
        {{1e16, 1.0, -1e16, 3.0, 1e-3, 7.0}, 0x434ec474859721a2, 0x434482f8590f6bc2},
        {{123.456, -78.9, 0.001, 45.6, -12.3, 7.89}, 0x406864ff6a73e55a, 0x40604354f1a298e7},
        {{0.1, 0.2, 0.3, 0.4, 0.5, 0.6}, 0x3ff879acd87c398e, 0x3ff0511de5a8265f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bits(von_mises(TensorKind::kStress, c.s)), c.stress);
        EXPECT_EQ(bits(von_mises(TensorKind::kStrain, c.s)), c.strain);
    }
}

// An independent reference: classic Jacobi in long double, run to convergence.
void reference_eigenvalues(const double* s, long double out[3]) {
    long double a[3][3] = {{s[0], s[3], s[5]}, {s[3], s[1], s[4]}, {s[5], s[4], s[2]}};
    for (int sweep = 0; sweep < 100; ++sweep) {
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0) continue;
                const long double phi = 0.5L * std::atan2(2 * a[p][q], a[q][q] - a[p][p]);
                const long double c = std::cos(phi), sn = std::sin(phi);
                for (int k = 0; k < 3; ++k) {  // columns, then rows
                    const long double kp = a[k][p], kq = a[k][q];
                    a[k][p] = c * kp - sn * kq;
                    a[k][q] = sn * kp + c * kq;
                }
                for (int k = 0; k < 3; ++k) {
                    const long double pk = a[p][k], qk = a[q][k];
                    a[p][k] = c * pk - sn * qk;
                    a[q][k] = sn * pk + c * qk;
                }
            }
        }
    }
    out[0] = a[0][0];
    out[1] = a[1][1];
    out[2] = a[2][2];
    std::sort(out, out + 3);
}

TEST(DerivedQuantities, PrincipalValuesMatchAnIndependentEigenSolver) {
    std::mt19937_64 random(2026);
    std::uniform_real_distribution<double> component(-1000.0, 1000.0);
    for (int trial = 0; trial < 2000; ++trial) {
        double s[6];
        for (double& v : s) v = component(random);
        if (trial % 4 == 0) s[3] = s[4] = 0.0;  // some nearly diagonal tensors
        double v[3];
        principal_values(s, v);
        long double expected[3];
        reference_eigenvalues(s, expected);
        const long double scale = std::max(std::fabs(expected[0]), std::fabs(expected[2]));
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(std::fabs(v[k] - expected[k]), 1e-12L * scale) << "trial " << trial << " value " << k;
        }
        EXPECT_LE(v[0], v[1]);
        EXPECT_LE(v[1], v[2]);
    }
}

// The arrays are computed many points at a time in vector lanes; each value
// must be the one the single-point routine gives, bit for bit, on random and
// adversarial tensors, with every instruction set this processor runs.
TEST(DerivedQuantities, PointsComputedTogetherMatchTheSinglePointRoutineToTheBit) {
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> component(-1e3, 1e3);
    const double specials[] = {0.0, -0.0, NAN, INFINITY, -INFINITY, 1e-310, 1e300, -1e-300, 5e-324, 1.0};
    const size_t points = 1000003;  // not a multiple of any batch
    std::vector<double> tensors(6 * points);
    for (size_t p = 0; p < points; ++p) {
        double* s = &tensors[6 * p];
        for (int k = 0; k < 6; ++k) s[k] = component(random);
        switch (p % 8) {
            case 1: s[3] = s[4] = s[5] = 0.0; break;                     // diagonal
            case 2: s[random() % 6] = specials[random() % 10]; break;    // one special value
            case 3: s[0] = s[1] = s[2]; s[3] = s[4] = s[5] = 0.0; break;  // hydrostatic
            case 4: for (int k = 0; k < 6; ++k) s[k] *= 1e-150; break;    // tiny
            case 5: s[3] = 1e-12 * s[0]; s[4] = s[5] = 0.0; break;        // nearly diagonal
            case 6: s[random() % 3] *= 1e12; break;                       // badly scaled
            default: break;
        }
    }
    std::vector<uint64_t> expected(3 * points);
    for (size_t p = 0; p < points; ++p) {
        double v[3];
        principal_values(&tensors[6 * p], v);
        for (int k = 0; k < 3; ++k) expected[3 * p + k] = bits(v[k]);
    }
    std::vector<VectorSet> sets = {VectorSet::kNone, VectorSet::kSse2, VectorSet::kAvx2};
    sets.resize(static_cast<size_t>(best_vector_set()) + 1);
    for (VectorSet set : sets) {
        std::vector<double> ps3(points), ps2(points), ps1(points);
        principal_values_of_points(tensors.data(), points, ps3.data(), ps2.data(), ps1.data(), set);
        for (size_t p = 0; p < points; ++p) {
            ASSERT_EQ(bits(ps3[p]), expected[3 * p]) << "set " << int(set) << ", point " << p;
            ASSERT_EQ(bits(ps2[p]), expected[3 * p + 1]) << "set " << int(set) << ", point " << p;
            ASSERT_EQ(bits(ps1[p]), expected[3 * p + 2]) << "set " << int(set) << ", point " << p;
        }
    }
    // The arrays of a step take the same path.
    std::vector<ResultArray> arrays(1);
    arrays[0].name = "S";
    arrays[0].n_components = 6;
    arrays[0].values = std::vector<double>(tensors.begin(), tensors.begin() + 6 * 1003);
    append_derived_quantities(TensorKind::kStress, arrays);
    for (size_t p = 0; p < 1003; ++p) ASSERT_EQ(bits(arrays[5].values[p]), expected[3 * p + 2]) << p;
}

// A mesh without points still has its tensor and derived arrays, all empty.
TEST(DerivedQuantities, TensorOfAMeshWithoutPointsGivesEmptyArrays) {
    std::vector<ResultArray> arrays(1);
    arrays[0].name = "S";
    arrays[0].n_components = 6;
    append_derived_quantities(TensorKind::kStrain, arrays);
    ASSERT_EQ(arrays.size(), 6u);
    for (const ResultArray& array : arrays) EXPECT_TRUE(array.values.empty()) << array.name;
}

TEST(DerivedQuantities, ArraysFollowTheirTensorForEveryPoint) {
    std::vector<ResultArray> arrays(1);
    arrays[0].name = "S";
    arrays[0].n_components = 6;
    arrays[0].values = {100, 0, 0, 0, 0, 0, /* a point without values */ 0, 0, 0, 0, 0, 0};
    append_derived_quantities(TensorKind::kStress, arrays);
    ASSERT_EQ(arrays.size(), 6u);
    const char* names[] = {"S", "S_Mises", "S_sgMises", "S_PS3", "S_PS2", "S_PS1"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(arrays[i].name, names[i]);
    EXPECT_EQ(arrays[1].values, (std::vector<double>{100, 0}));
    EXPECT_EQ(arrays[5].values, (std::vector<double>{100, 0}));
    EXPECT_EQ(arrays[3].values, (std::vector<double>{0, 0}));
    EXPECT_EQ(arrays[5].derived, 1u);
}

}  // namespace
