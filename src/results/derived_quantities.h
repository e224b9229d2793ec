// Von Mises, signed von Mises and principal values of stress and strain tensors.
#pragma once

#include <vector>

#include "results/step_results.h"

namespace kovan {

enum class TensorKind { kStress, kStrain };

// Components in file order: xx, yy, zz, xy, yz, zx.
double von_mises(TensorKind kind, const double* s);
double signed_von_mises(double mises, const double* s);

// The eigenvalues of the symmetric tensor by cyclic Jacobi, ascending.
void principal_values(const double* s, double ascending[3]);

// Appends N_Mises, N_sgMises, N_PS3, N_PS2 and N_PS1 behind the last array
// of `arrays`, a six-component tensor named N.
void append_derived_quantities(TensorKind kind, std::vector<ResultArray>& arrays);

}  // namespace kovan
