// One 12-column real of CalculiX's "%12.5E" layout, [ -]d.dddddE[+-]dd: its
// parts, as the column readers find them, and its value from them.
#pragma once

#include <fast_float/fast_float.h>

#include <cstddef>

namespace kovan {

constexpr size_t kStandardField = 12;

// The parts of a field of the layout.
struct FieldParts {
    int mantissa;  // the six digits, the point left out
    int exponent;  // of ten, for the mantissa as an integer
};

// Powers of ten that doubles hold exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// With six digits and an exact power of ten, one multiplication or division
// rounds correctly, so the result is the correctly rounded value that any
// exact reader gives; other exponents go to fast_float.
inline double standard_field_value(const char* f, FieldParts parts) {
    const double magnitude = static_cast<double>(parts.mantissa);
    double value = 0.0;
    if (parts.exponent >= 0 && parts.exponent <= 22) {
        value = magnitude * kExactPowers[parts.exponent];
    } else if (parts.exponent < 0 && parts.exponent >= -22) {
        value = magnitude / kExactPowers[-parts.exponent];
    } else {
        fast_float::from_chars(f + 1, f + kStandardField, value);
    }
    return f[0] == '-' ? -value : value;
}

// Fields read two at a time with AVX2 (where it was built and the processor
// runs it), among the first `n` fields at `fields`; each load reads the 4
// bytes after a pair's second field, so the caller keeps the record's last
// field out of `n`. Returns how many fields it read into `out` (from the
// first, in pairs), or -1 when one of them breaks the layout.
long read_standard_pairs_avx2(const char* fields, size_t n, double* out);

}  // namespace kovan
