#include "frd/record_fields.h"

#include "frd/line_cursor.h"

namespace kovan {

void separate_minus_signs(std::string_view text, std::string& out) {
    out.clear();
    char previous = ' ';
    for (char c : text) {
        if (c == '-' && previous != 'D' && previous != 'E' && previous != 'd' && previous != 'e') out.push_back(' ');
        out.push_back(c);
        previous = c;
    }
}

size_t id_field_width(std::string_view rest) {
    size_t i = 0;
    while (i < rest.size() && is_frd_space(rest[i])) ++i;
    const size_t id_begin = i;
    while (i < rest.size() && !is_frd_space(rest[i]) && rest[i] != '-') ++i;
    return i == id_begin ? 0 : i;
}

}  // namespace kovan
