// Every operation below is evaluated in the order written, in doubles, so
// that results are reproducible to the last bit; this file is compiled
// without floating-point contraction.
#include "results/derived_quantities.h"

#include <cmath>
#include <string>

namespace kovan {
namespace {

constexpr double kEpsilon = 2.220446049250313e-16;  // 2^-52
constexpr int kMaxSweeps = 12;

using Matrix = double[3][3];

void rotate(Matrix& a, int p, int q, int r) {
    const double g = a[p][q];
    if (g == 0.0) return;
    if ((std::fabs(a[p][p]) + std::fabs(a[q][q])) * kEpsilon >= std::fabs(g)) return;
    const double theta = (a[q][q] - a[p][p]) / (g + g);
    const double sigma = theta >= 0.0 ? 1.0 : -1.0;  // NaN gives -1
    const double t = sigma / (std::sqrt(theta * theta + 1.0) + std::fabs(theta));
    const double c = 1.0 / std::sqrt(t * t + 1.0);
    const double s = c * t;
    a[p][p] = a[p][p] - g * t;
    a[q][q] = g * t + a[q][q];
    a[p][q] = a[q][p] = 0.0;
    const double x = a[r][p];
    const double y = a[r][q];
    a[r][p] = a[p][r] = x * c - y * s;
    a[r][q] = a[q][r] = x * s + y * c;
}

bool converged(const Matrix& a) {
    const double diagonal = (std::fabs(a[1][1]) + std::fabs(a[0][0])) + std::fabs(a[2][2]);
    const double off_diagonal = (std::fabs(a[0][2]) + std::fabs(a[0][1])) + std::fabs(a[1][2]);
    return diagonal * kEpsilon >= off_diagonal;
}

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

// Four points in lockstep: the same operations as rotate() and converged()
// lane by lane, a rotation applied only to the lanes that take it, so that
// the compiler can vectorise across points without changing any result bit.
constexpr int kLanes = 4;
using Lanes = double[kLanes];
using LaneMatrix = Lanes[3][3];

void rotate_lanes(LaneMatrix& a, int p, int q, int r, const bool (&active)[kLanes]) {
    for (int l = 0; l < kLanes; ++l) {
        const double g = a[p][q][l];
        const bool skip = !active[l] || g == 0.0 ||
                          (std::fabs(a[p][p][l]) + std::fabs(a[q][q][l])) * kEpsilon >= std::fabs(g);
        const double theta = (a[q][q][l] - a[p][p][l]) / (g + g);
        const double sigma = theta >= 0.0 ? 1.0 : -1.0;
        const double t = sigma / (std::sqrt(theta * theta + 1.0) + std::fabs(theta));
        const double c = 1.0 / std::sqrt(t * t + 1.0);
        const double s = c * t;
        const double x = a[r][p][l];
        const double y = a[r][q][l];
        const double pp = a[p][p][l] - g * t, qq = g * t + a[q][q][l];
        const double rp = x * c - y * s, rq = x * s + y * c;
        a[p][p][l] = skip ? a[p][p][l] : pp;
        a[q][q][l] = skip ? a[q][q][l] : qq;
        a[p][q][l] = a[q][p][l] = skip ? g : 0.0;
        a[r][p][l] = a[p][r][l] = skip ? x : rp;
        a[r][q][l] = a[q][r][l] = skip ? y : rq;
    }
}

void principal_values_lanes(const double* tensors, double (&out)[kLanes][3]) {
    LaneMatrix a;
    for (int l = 0; l < kLanes; ++l) {
        const double* s = tensors + 6 * l;
        const double m[3][3] = {{s[0], s[3], s[5]}, {s[3], s[1], s[4]}, {s[5], s[4], s[2]}};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) a[i][j][l] = m[i][j];
        }
    }
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
        bool active[kLanes];
        bool any = false;
        for (int l = 0; l < kLanes; ++l) {
            const double diagonal = (std::fabs(a[1][1][l]) + std::fabs(a[0][0][l])) + std::fabs(a[2][2][l]);
            const double off = (std::fabs(a[0][2][l]) + std::fabs(a[0][1][l])) + std::fabs(a[1][2][l]);
            active[l] = !(diagonal * kEpsilon >= off);
            any = any || active[l];
        }
        if (!any) break;
        rotate_lanes(a, 0, 1, 2, active);
        rotate_lanes(a, 0, 2, 1, active);
        rotate_lanes(a, 1, 2, 0, active);
    }
    for (int l = 0; l < kLanes; ++l) {
        out[l][0] = a[0][0][l];
        out[l][1] = a[1][1][l];
        out[l][2] = a[2][2][l];
        sort_ascending(out[l]);
    }
}

ResultArray derived_array(const std::string& name, std::vector<double>&& values) {
    ResultArray array;
    array.name = name;
    array.n_components = 1;
    array.derived = 1;
    array.values = std::move(values);
    return array;
}

}  // namespace

double von_mises(TensorKind kind, const double* s) {
    const double shear = (s[4] * s[4] + s[3] * s[3]) + s[5] * s[5];
    const double d12 = s[1] - s[2];
    const double d01 = s[0] - s[1];
    const double d20 = s[2] - s[0];
    const double normal = (d12 * d12 + d01 * d01) + d20 * d20;
    const double q = 6.0 * shear + normal;
    if (kind == TensorKind::kStress) return std::sqrt(q * 0.5);
    static const double k = std::sqrt(2.0) / 3.0;
    return std::sqrt(q) * k;
}

double signed_von_mises(double mises, const double* s) {
    const double trace = (s[1] + s[0]) + s[2];
    if (trace > 0.0) return mises;
    if (trace < 0.0) return mises * -1.0;
    if (trace == 0.0) return mises;
    return mises * 0.0;  // NaN trace
}

void principal_values(const double* s, double ascending[3]) {
    Matrix a = {{s[0], s[3], s[5]}, {s[3], s[1], s[4]}, {s[5], s[4], s[2]}};
    for (int sweep = 0; sweep < kMaxSweeps && !converged(a); ++sweep) {
        rotate(a, 0, 1, 2);
        rotate(a, 0, 2, 1);
        rotate(a, 1, 2, 0);
    }
    ascending[0] = a[0][0];
    ascending[1] = a[1][1];
    ascending[2] = a[2][2];
    sort_ascending(ascending);
}

void append_derived_quantities(TensorKind kind, std::vector<ResultArray>& arrays) {
    const std::string name = arrays.back().name;
    const std::vector<double>& tensor = arrays.back().values;
    const size_t n_points = tensor.size() / 6;
    std::vector<double> mises(n_points), signed_mises(n_points), ps3(n_points), ps2(n_points), ps1(n_points);
    for (size_t p = 0; p < n_points; ++p) mises[p] = von_mises(kind, &tensor[6 * p]);
    for (size_t p = 0; p < n_points; ++p) signed_mises[p] = signed_von_mises(mises[p], &tensor[6 * p]);
    size_t p = 0;
    for (; p + kLanes <= n_points; p += kLanes) {
        double v[kLanes][3];
        principal_values_lanes(&tensor[6 * p], v);
        for (int l = 0; l < kLanes; ++l) {
            ps3[p + l] = v[l][0];
            ps2[p + l] = v[l][1];
            ps1[p + l] = v[l][2];
        }
    }
    for (; p < n_points; ++p) {
        double v[3];
        principal_values(&tensor[6 * p], v);
        ps3[p] = v[0];
        ps2[p] = v[1];
        ps1[p] = v[2];
    }
    arrays.reserve(arrays.size() + 5);  // the tensor is not read past this point
    arrays.push_back(derived_array(name + "_Mises", std::move(mises)));
    arrays.push_back(derived_array(name + "_sgMises", std::move(signed_mises)));
    arrays.push_back(derived_array(name + "_PS3", std::move(ps3)));
    arrays.push_back(derived_array(name + "_PS2", std::move(ps2)));
    arrays.push_back(derived_array(name + "_PS1", std::move(ps1)));
}

}  // namespace kovan
