// Record lines exactly as CalculiX writes them: an id right-aligned in its
// field, then reals in "%12.5E" with two exponent digits, back to back.
// Such lines are read here without tokenising; any other line is left to the
// general readers, which give the same numbers for these lines, only slower.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kovan {

// The id of `rest` (the text after the record key): blanks, then at least
// one digit filling the `width` columns to their end.
bool read_standard_id(std::string_view rest, int width, int64_t& id);

// Appends the reals of `fields`, a whole number of 12-column fields of the
// form [ -]d.dddddE[+-]dd (at least one); false, with `values` as it was, when
// `fields` is anything else.
bool read_standard_reals(std::string_view fields, std::vector<double>& values);

// A continuation line's text after its key: blank id columns, then reals as
// read_standard_reals() takes them.
bool read_standard_continuation(std::string_view rest, int width, std::vector<double>& values);

}  // namespace kovan
