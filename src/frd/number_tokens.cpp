#include "frd/number_tokens.h"

#include <fast_float/fast_float.h>

#include <cmath>
#include <limits>
#include <string>

namespace kovan {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_digit_or_minus(char c) { return is_digit(c) || c == '-'; }

// Integer tokens and reals tolerate only space and the controls 9 to 13 around them.
std::string_view trim_number(std::string_view token) {
    auto blank = [](char c) { return c == ' ' || (c >= 9 && c <= 13); };
    while (!token.empty() && blank(token.front())) token.remove_prefix(1);
    while (!token.empty() && blank(token.back())) token.remove_suffix(1);
    return token;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equals_ignoring_case(std::string_view text, std::string_view lower_word) {
    if (text.size() != lower_word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (lower(text[i]) != lower_word[i]) return false;
    }
    return true;
}

// "1.#INF00E+000", "-1.#IND0E+000", "1.#QNAN0E+000": digits, a point, '#',
// a word, digits and an optional exponent.
std::optional<double> parse_windows_special(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    size_t i = 0;
    while (i < text.size() && is_digit(text[i])) ++i;
    if (i == 0 || text.substr(i, 2) != ".#") return std::nullopt;
    i += 2;
    const size_t word_begin = i;
    while (i < text.size() && lower(text[i]) >= 'a' && lower(text[i]) <= 'z') ++i;
    const std::string_view word = text.substr(word_begin, i - word_begin);
    while (i < text.size() && is_digit(text[i])) ++i;
    if (i < text.size() && lower(text[i]) == 'e') {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const size_t digits_begin = i;
        while (i < text.size() && is_digit(text[i])) ++i;
        if (i == digits_begin) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    if (equals_ignoring_case(word, "inf")) {
        const double inf = std::numeric_limits<double>::infinity();
        return negative ? -inf : inf;
    }
    if (equals_ignoring_case(word, "ind") || equals_ignoring_case(word, "qnan") ||
        equals_ignoring_case(word, "snan")) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return std::nullopt;
}

bool spells_infinity(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return !text.empty() && lower(text.front()) == 'i';
}

// The whole text as one real, or nothing.
std::optional<double> convert_whole(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = fast_float::from_chars(text.data(), end, value, fast_float::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
    // fast_float rounds an overflowing value to infinity without saying so.
    if (std::isinf(value) && !spells_infinity(text)) return std::nullopt;
    return value;
}

bool underscores_between_digits(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '_') continue;
        if (i == 0 || i + 1 == text.size() || !is_digit(text[i - 1]) || !is_digit(text[i + 1])) return false;
    }
    return true;
}

}  // namespace

std::optional<int64_t> parse_int(std::string_view token) {
    token = trim_number(token);
    bool negative = false;
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    if (token.empty() || !is_digit(token.front()) || !is_digit(token.back())) return std::nullopt;
    constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    for (size_t i = 0; i < token.size(); ++i) {
        const char c = token[i];
        if (c == '_') {
            if (!is_digit(token[i + 1]) || !is_digit(token[i - 1])) return std::nullopt;
            continue;
        }
        if (!is_digit(c)) return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (kMax - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    const auto value = static_cast<int64_t>(magnitude);
    return negative ? -value : value;
}

std::optional<double> parse_real(std::string_view token) {
    // The common case, a plain number as the tokenisers hand it over.
    if (!token.empty() && is_digit_or_minus(token.front()) && is_digit(token.back())) {
        if (auto value = convert_whole(token)) return value;
    }
    token = trim_number(token);
    if (!token.empty() && token.front() == '+') {
        token.remove_prefix(1);
        if (!token.empty() && (token.front() == '+' || token.front() == '-')) return std::nullopt;
    }
    if (token.empty()) return std::nullopt;
    if (auto value = convert_whole(token)) return value;
    if (token.find('_') != std::string_view::npos) {
        if (!underscores_between_digits(token)) return std::nullopt;
        std::string plain;
        plain.reserve(token.size());
        for (char c : token) {
            if (c != '_') plain.push_back(c);
        }
        return convert_whole(plain);
    }
    return parse_windows_special(token);
}

}  // namespace kovan
