#include "frd/record_fields.h"

#include "frd/line_cursor.h"
#include "frd/number_tokens.h"

namespace kovan {

std::string_view next_record_token(std::string_view& rest) {
    size_t begin = 0;
    while (begin < rest.size() && is_frd_space(rest[begin])) ++begin;
    size_t end = begin;
    while (end < rest.size() && !is_frd_space(rest[end])) {
        const char c = rest[end];
        if (c == '-' && end > begin) {
            const char previous = rest[end - 1];
            if (previous != 'D' && previous != 'E' && previous != 'd' && previous != 'e') break;
        }
        ++end;
    }
    const std::string_view token = rest.substr(begin, end - begin);
    rest.remove_prefix(end);
    return token;
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

std::string_view component_name(const std::vector<std::string_view>& tokens) {
    if (tokens.empty()) return {};
    if (tokens[0].size() > 2) return tokens[0].substr(2);
    return tokens.size() >= 2 ? tokens[1] : std::string_view();
}

}  // namespace kovan
