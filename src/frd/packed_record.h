// Reading FRD record lines whose fixed-column numbers touch each other.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kovan {

// Windows builds of CalculiX print three exponent digits, so a 12-column
// real fills its field and runs into its neighbours
// ("         4-5.28012E-0033.06745E-003"). This reads the text after a
// record's key in FRD's own layout: the id in its `id_width` columns, then
// reals back to back, each with optional blanks before it, an optional sign,
// digits, a point, digits, an exponent letter, a sign and the exponent's
// digits, or NaN or INF in either case with an optional sign. A run of
// exponent digits followed directly by a point gives its last digit to the
// next number. Succeeds only when the whole text is used.
bool read_packed_record(std::string_view rest, int id_width, int64_t& id, std::vector<double>& values);

// The same for a continuation line: its id field is blank.
bool read_packed_continuation(std::string_view rest, int id_width, std::vector<double>& values);

}  // namespace kovan
