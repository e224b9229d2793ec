// Every operation below is evaluated in the order written, in doubles, so
// that results are reproducible to the last bit; this file is compiled
// without floating-point contraction.
#include "results/derived_quantities.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "results/jacobi_lanes.h"

namespace kovan {
namespace {

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

void principal_values_one_by_one(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1) {
    for (size_t p = 0; p < n; ++p) {
        double v[3];
        principal_values(&tensors[6 * p], v);
        ps3[p] = v[0];
        ps2[p] = v[1];
        ps1[p] = v[2];
    }
}

// A derived array's one component is named by what it is: "Mises", "PS1".
ResultArray derived_array(const ResultArray& tensor, const char* quantity, std::vector<double>&& values) {
    ResultArray array;
    array.name = tensor.name + "_" + quantity;
    array.n_components = 1;
    array.derived = 1;
    array.values = std::move(values);
    array.component_names = {quantity};
    array.points_with_values = tensor.points_with_values;
    return array;
}

}  // namespace

std::optional<TensorKind> derived_tensor_kind(const std::string& name, uint32_t n_components) {
    if (n_components != 6) return std::nullopt;
    std::string upper = name;
    for (char& ch : upper) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    }
    if (upper.find("STRESS") != std::string::npos) return TensorKind::kStress;
    if (upper.find("STRAIN") != std::string::npos) return TensorKind::kStrain;
    return std::nullopt;
}

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

VectorSet best_vector_set() {
#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__) && !defined(_WIN32)
    static const VectorSet best = __builtin_cpu_supports("avx2") ? VectorSet::kAvx2 : VectorSet::kSse2;
    return best;
#elif defined(__SSE2__)
    return VectorSet::kSse2;
#else
    return VectorSet::kNone;
#endif
}

void principal_values_of_points(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1,
                                VectorSet vectors) {
    const VectorSet usable = std::min(vectors, best_vector_set());
    size_t done = 0;
    if (usable == VectorSet::kAvx2) done = principal_values_avx2(tensors, n, ps3, ps2, ps1);
    if (usable == VectorSet::kSse2) done = principal_values_sse2(tensors, n, ps3, ps2, ps1);
    principal_values_one_by_one(tensors + 6 * done, n - done, ps3 + done, ps2 + done, ps1 + done);
}

void append_derived_quantities(TensorKind kind, std::vector<ResultArray>& arrays, ArrayPool* pool) {
    const std::vector<double>& tensor = arrays.back().values;
    const size_t n_points = tensor.size() / 6;
    const auto values = [&] {
        std::vector<double> buffer = take_buffer(pool, n_points);
        buffer.resize(n_points);
        return buffer;
    };
    std::vector<double> mises = values(), signed_mises = values(), ps3 = values(), ps2 = values(), ps1 = values();
    for (size_t p = 0; p < n_points; ++p) mises[p] = von_mises(kind, &tensor[6 * p]);
    for (size_t p = 0; p < n_points; ++p) signed_mises[p] = signed_von_mises(mises[p], &tensor[6 * p]);
    principal_values_of_points(tensor.data(), n_points, ps3.data(), ps2.data(), ps1.data(), best_vector_set());
    arrays.reserve(arrays.size() + 5);  // the tensor's values are not read past this point
    const size_t at = arrays.size() - 1;
    std::vector<double>* quantities[] = {&mises, &signed_mises, &ps3, &ps2, &ps1};
    for (size_t q = 0; q < 5; ++q) arrays.push_back(derived_array(arrays[at], kDerivedQuantities[q], std::move(*quantities[q])));
}

}  // namespace kovan
