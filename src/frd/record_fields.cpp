#include "frd/record_fields.h"

#include "frd/line_cursor.h"
#include "frd/number_tokens.h"

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

bool names_stored_component(std::string_view trimmed, std::vector<std::string_view>& tokens) {
    split_tokens(trimmed, tokens);
    if (tokens.size() < 7) return true;
    const std::string_view flag = tokens[6];
    size_t digits = 0;
    while (digits < flag.size() && flag[digits] >= '0' && flag[digits] <= '9') ++digits;
    return digits == 0 || parse_int(flag.substr(0, digits)) != 1;
}

}  // namespace kovan
