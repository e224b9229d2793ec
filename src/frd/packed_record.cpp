#include "frd/packed_record.h"

#include <algorithm>

#include "frd/line_cursor.h"
#include "frd/number_tokens.h"

namespace kovan {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

size_t skip_digits(std::string_view text, size_t i) {
    while (i < text.size() && is_digit(text[i])) ++i;
    return i;
}

size_t skip_letters(std::string_view text, size_t i) {
    while (i < text.size() && ((text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z'))) ++i;
    return i;
}

// The end of the packed real that starts at `begin`, or 0 when there is none.
size_t packed_real_end(std::string_view text, size_t begin) {
    size_t i = begin;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t integer_end = skip_digits(text, i);
    if (integer_end == i || integer_end >= text.size() || text[integer_end] != '.') return 0;
    i = integer_end + 1;
    if (i < text.size() && text[i] == '#') i = skip_letters(text, i + 1);  // 1.#INF00E+000
    i = skip_digits(text, i);
    if (i >= text.size() || (text[i] != 'E' && text[i] != 'e')) return 0;
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t exponent_begin = i;
    i = skip_digits(text, i);
    if (i == exponent_begin) return 0;
    if (i < text.size() && text[i] == '.') {
        if (i - exponent_begin < 2) return 0;
        --i;  // that digit starts the next number
    }
    return i;
}

// Reals back to back from `at` to the end of the text.
bool read_packed_reals(std::string_view rest, size_t at, std::vector<double>& values) {
    values.clear();
    while (true) {
        while (at < rest.size() && is_frd_space(rest[at])) ++at;
        if (at >= rest.size()) return true;
        const size_t end = packed_real_end(rest, at);
        if (end == 0) return false;
        const auto value = parse_real(rest.substr(at, end - at));
        if (!value) return false;
        values.push_back(*value);
        at = end;
    }
}

}  // namespace

bool read_packed_record(std::string_view rest, int id_width, int64_t& id, std::vector<double>& values) {
    const auto width = static_cast<size_t>(id_width);
    if (rest.size() < width) return false;
    const auto parsed_id = parse_int(rest.substr(0, width));
    if (!parsed_id || !read_packed_reals(rest, width, values)) return false;
    id = *parsed_id;
    return true;
}

bool read_packed_continuation(std::string_view rest, int id_width, std::vector<double>& values) {
    const auto width = std::min(static_cast<size_t>(id_width), rest.size());
    if (!trim(rest.substr(0, width)).empty()) return false;
    return read_packed_reals(rest, width, values);
}

}  // namespace kovan
