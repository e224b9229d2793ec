// The "-1" line that opens an element record.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kovan {

struct ElementLine {
    int64_t id = 0;  // 0 when the first field does not read
    int64_t type = 0;
    int64_t group = 0;     // 0 when absent or unreadable
    int64_t material = 0;  // the same
    // Number, type, group and material all read as integers, so that the
    // line can be written again without inventing a field.
    bool all_fields_read = false;
};

// The text after an element line's "-1": an element when its second field
// reads as an integer (the type code), else nothing.
std::optional<ElementLine> read_element_line(std::string_view rest);

}  // namespace kovan
