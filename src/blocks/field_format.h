// The integer and real fields of FRD records, exactly as kovan writes them.
#pragma once

#include <cstdint>
#include "blocks/output_text.h"

namespace kovan {

// Right-aligned in `width` characters ("%*lld"); wider values are written whole.
void append_integer(OutputText& out, int64_t value, int width);

// One 12-character real field: " 1.23457E+03" ("%12.5E"), or in zero-point
// notation " 0.12346E+04"; NaN as "         NaN".
void append_real(OutputText& out, double value, bool zero_point);

}  // namespace kovan
