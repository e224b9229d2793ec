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


bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// "NaN", "nan", "INF", "inf" (after the sign): a 12-column field holds them
// right-aligned, so a value with a three-digit exponent that fills the next
// field touches them ("NaN1.00000E+300").
size_t special_word_end(std::string_view text, size_t i) {
    if (text.size() - i < 3) return 0;
    const char word[3] = {lower(text[i]), lower(text[i + 1]), lower(text[i + 2])};
    const bool nan = word[0] == 'n' && word[1] == 'a' && word[2] == 'n';
    const bool inf = word[0] == 'i' && word[1] == 'n' && word[2] == 'f';
    if (!nan && !inf) return 0;
    if (i + 3 < text.size() && is_letter(text[i + 3])) return 0;
    return i + 3;
}

// The end of the packed real that starts at `begin`, or 0 when there is none.
size_t packed_real_end(std::string_view text, size_t begin) {
    size_t i = begin;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && is_letter(text[i])) return special_word_end(text, i);
    const size_t integer_end = skip_digits(text, i);
    if (integer_end == i || integer_end >= text.size() || text[integer_end] != '.') return 0;
    i = integer_end + 1;
    if (i < text.size() && text[i] == '#') {  // 1.#INF00E+000
        ++i;
        while (i < text.size() && is_letter(text[i])) ++i;
    }
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
