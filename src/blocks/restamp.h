// Rewriting the format code that ends a block header line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kovan {

// Where a header's format code stands: the last field, when the header has
// at least three fields (as reading the format requires) and that field is
// an integer 0..3.
struct FormatField {
    size_t begin = 0;
    size_t length = 0;
    int64_t code = 0;
};
std::optional<FormatField> find_format_field(std::string_view header);

// Whether restamp can write a new code into the header: its format field
// exists and is a single digit (a field such as "01" or "+1" would keep
// declaring its old code).
bool can_restamp(std::string_view header);

// The header with its format code replaced by `code`; everything else, the
// record count and the terminator included, stays byte for byte. Unchanged
// when the header cannot be restamped.
std::string restamp(std::string_view header, int32_t code);

}  // namespace kovan
