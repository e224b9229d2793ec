// Number tokens of FRD text: integers and reals as every reader takes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kovan {

// An optional sign and decimal digits, single underscores allowed between
// two digits, surrounding blanks ignored; the magnitude must fit in signed
// 64 bits, so the most negative value does not parse.
std::optional<int64_t> parse_int(std::string_view token);

// A decimal or exponent-notation real, inf or nan, with an optional leading
// "+" and digit underscores; also the Windows C runtime's spellings of
// not-a-number and infinity ("-1.#IND0E+000", "1.#INF00E+000", "-NAN(IND)").
// A value beyond the range of a double does not parse.
std::optional<double> parse_real(std::string_view token);

}  // namespace kovan
