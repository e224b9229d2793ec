// The six significant digits that "%.5E" prints, by exact integer arithmetic.
#pragma once

#include <cstdint>

namespace kovan {

// For a positive normal double from 1e-17 to below 1e16: `digits`
// (100000 to 999999) and `exponent` such that digits * 10^(exponent - 5) is
// the value rounded to six significant digits, halves to even, as printf
// rounds. False for any other value (callers fall back to std::to_chars).
bool six_digits(double magnitude, uint32_t& digits, int& exponent);

}  // namespace kovan
