// Von Mises, signed von Mises and principal values of stress and strain tensors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/array_pool.h"
#include "results/step_results.h"

namespace kovan {

enum class TensorKind { kStress, kStrain };

// The quantities derived from a tensor, in the order their arrays follow it
// (NAME_Mises, NAME_sgMises, NAME_PS3, NAME_PS2, NAME_PS1).
constexpr const char* kDerivedQuantities[] = {"Mises", "sgMises", "PS3", "PS2", "PS1"};

// The tensor an array is, when quantities are derived from it: six
// components and STRESS or STRAIN in its name, in any case.
std::optional<TensorKind> derived_tensor_kind(const std::string& name, uint32_t n_components);

// Components in file order: xx, yy, zz, xy, yz, zx.
double von_mises(TensorKind kind, const double* s);
double signed_von_mises(double mises, const double* s);

// The eigenvalues of the symmetric tensor by cyclic Jacobi, ascending.
void principal_values(const double* s, double ascending[3]);

// The vector instructions that compute principal values several points at
// a time; every choice gives the bits of principal_values(), point by point.
enum class VectorSet { kNone, kSse2, kAvx2 };

// The widest set this processor runs (AVX2 only where it has it).
VectorSet best_vector_set();

// principal_values() of `n` tensors, into three arrays; `vectors` beyond
// what the processor runs falls back to the widest it does.
void principal_values_of_points(const double* tensors, size_t n, double* ps3, double* ps2, double* ps1,
                                VectorSet vectors);

// Appends N_Mises, N_sgMises, N_PS3, N_PS2 and N_PS1 behind the last array
// of `arrays`, a six-component tensor named N, in memory from `pool` (may
// be null).
void append_derived_quantities(TensorKind kind, std::vector<ResultArray>& arrays, ArrayPool* pool = nullptr);

}  // namespace kovan
