#include "frd/standard_columns.h"

#include <fast_float/fast_float.h>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kovan {
namespace {

constexpr size_t kField = 12;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
int digit(char c) { return c - '0'; }

// Powers of ten that doubles hold exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The parts of a field of the standard shape.
struct FieldParts {
    int mantissa;  // the six digits, the point left out
    int exponent;  // of ten, for the mantissa as an integer
};

// With six digits and an exact power of ten, one multiplication or division
// rounds correctly, so the result is the correctly rounded value that any
// exact reader gives; other exponents go to fast_float.
double value_of(const char* f, FieldParts parts) {
    const double magnitude = static_cast<double>(parts.mantissa);
    double value = 0.0;
    if (parts.exponent >= 0 && parts.exponent <= 22) {
        value = magnitude * kExactPowers[parts.exponent];
    } else if (parts.exponent < 0 && parts.exponent >= -22) {
        value = magnitude / kExactPowers[-parts.exponent];
    } else {
        fast_float::from_chars(f + 1, f + kField, value);
    }
    return f[0] == '-' ? -value : value;
}

#if defined(__SSE2__)
// The shape and the digits of a field in one pass over 16 loaded bytes (the
// field and the 4 after it, which are not looked at): digits in lanes 1, 3
// to 7, 10 and 11; '.' in lane 2, 'E' in 8; ' ' or '-' in 0, '+' or '-' in 9.
constexpr int kDigitLanes = 0b1100'1111'1010;
constexpr int kLiteralLanes = 0b0011'0000'0101;

bool standard_parts(const char* f, FieldParts& parts) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f));
    const __m128i digits = _mm_sub_epi8(text, _mm_set1_epi8('0'));
    const __m128i nine = _mm_set1_epi8(9);
    const int digit_lanes = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(digits, nine), nine));
    const __m128i one_form = _mm_setr_epi8(' ', 0, '.', 0, 0, 0, 0, 0, 'E', '+', 0, 0, 0, 0, 0, 0);
    const __m128i other_form = _mm_setr_epi8('-', 0, '.', 0, 0, 0, 0, 0, 'E', '-', 0, 0, 0, 0, 0, 0);
    const int literal_lanes = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(text, one_form), _mm_cmpeq_epi8(text, other_form)));
    if ((digit_lanes & kDigitLanes) != kDigitLanes || (literal_lanes & kLiteralLanes) != kLiteralLanes) return false;
    // Digit by weight, in pairs summed to 32 bits: 10 d1 | d3 | 1000 d4 + 100 d5 | 10 d6 + d7,
    // and 10 e1 + e2 from the upper half; other lanes weigh 0.
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi8(digits, zero), _mm_setr_epi16(0, 10, 0, 1, 1000, 100, 10, 1));
    const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi8(digits, zero), _mm_setr_epi16(0, 0, 10, 1, 0, 0, 0, 0));
    alignas(16) int32_t sums[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(sums), low);
    const int exponent = _mm_cvtsi128_si32(_mm_srli_si128(high, 4));
    parts.mantissa = (sums[0] + sums[1]) * 10000 + sums[2] + sums[3];
    parts.exponent = (f[9] == '-' ? -exponent : exponent) - 5;
    return true;
}
#else
bool has_standard_shape(const char* f) {
    return (f[0] == ' ' || f[0] == '-') && is_digit(f[1]) && f[2] == '.' && is_digit(f[3]) && is_digit(f[4]) &&
           is_digit(f[5]) && is_digit(f[6]) && is_digit(f[7]) && f[8] == 'E' && (f[9] == '+' || f[9] == '-') &&
           is_digit(f[10]) && is_digit(f[11]);
}

FieldParts parts_of(const char* f) {
    const int mantissa = digit(f[1]) * 100000 + digit(f[3]) * 10000 + digit(f[4]) * 1000 + digit(f[5]) * 100 +
                         digit(f[6]) * 10 + digit(f[7]);
    const int exponent = (f[9] == '-' ? -1 : 1) * (digit(f[10]) * 10 + digit(f[11])) - 5;
    return {mantissa, exponent};
}

bool standard_parts(const char* f, FieldParts& parts) {
    if (!has_standard_shape(f)) return false;
    parts = parts_of(f);
    return true;
}
#endif

}  // namespace

bool read_standard_id(std::string_view rest, int width, int64_t& id) {
    if (width <= 0 || rest.size() < static_cast<size_t>(width) || width > 18) return false;
    size_t at = 0;
    while (at < static_cast<size_t>(width) && rest[at] == ' ') ++at;
    if (at == static_cast<size_t>(width)) return false;
    int64_t value = 0;
    for (; at < static_cast<size_t>(width); ++at) {
        if (!is_digit(rest[at])) return false;
        value = value * 10 + digit(rest[at]);
    }
    id = value;
    return true;
}

bool read_standard_reals(std::string_view fields, std::vector<double>& values) {
    if (fields.empty() || fields.size() % kField != 0) return false;
    const size_t first = values.size(), n = fields.size() / kField;
    values.resize(first + n);
    double* out = values.data() + first;
    // Every field but the last is read where it stands, 16 bytes at a time;
    // the last from a copy, as nothing may be read past the record.
    char last[16] = {};
    std::memcpy(last, fields.data() + (n - 1) * kField, kField);
    for (size_t i = 0; i < n; ++i) {
        const char* f = i + 1 < n ? fields.data() + i * kField : last;
        FieldParts parts;
        if (!standard_parts(f, parts)) {
            values.resize(first);
            return false;
        }
        out[i] = value_of(f, parts);
    }
    return true;
}

bool read_standard_continuation(std::string_view rest, int width, std::vector<double>& values) {
    const auto columns = static_cast<size_t>(width);
    if (width <= 0 || rest.size() < columns) return false;
    if (rest.substr(0, columns).find_first_not_of(' ') != std::string_view::npos) return false;
    return read_standard_reals(rest.substr(columns), values);
}

}  // namespace kovan
