#include "frd/standard_columns.h"

#include <fast_float/fast_float.h>

namespace kovan {
namespace {

constexpr size_t kField = 12;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
int digit(char c) { return c - '0'; }

bool has_standard_shape(const char* f) {
    return (f[0] == ' ' || f[0] == '-') && is_digit(f[1]) && f[2] == '.' && is_digit(f[3]) && is_digit(f[4]) &&
           is_digit(f[5]) && is_digit(f[6]) && is_digit(f[7]) && f[8] == 'E' && (f[9] == '+' || f[9] == '-') &&
           is_digit(f[10]) && is_digit(f[11]);
}

// Powers of ten that doubles hold exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A field of the standard shape. With six digits and an exact power of ten,
// one multiplication or division rounds correctly, so the result is the
// correctly rounded value that any exact reader gives; other exponents go
// to fast_float.
double standard_real(const char* f) {
    const int mantissa = digit(f[1]) * 100000 + digit(f[3]) * 10000 + digit(f[4]) * 1000 + digit(f[5]) * 100 +
                         digit(f[6]) * 10 + digit(f[7]);
    const int exponent = (f[9] == '-' ? -1 : 1) * (digit(f[10]) * 10 + digit(f[11])) - 5;
    const double magnitude = static_cast<double>(mantissa);
    double value = 0.0;
    if (exponent >= 0 && exponent <= 22) {
        value = magnitude * kExactPowers[exponent];
    } else if (exponent < 0 && exponent >= -22) {
        value = magnitude / kExactPowers[-exponent];
    } else {
        fast_float::from_chars(f + 1, f + kField, value);
    }
    return f[0] == '-' ? -value : value;
}

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
    for (size_t at = 0; at < fields.size(); at += kField) {
        if (!has_standard_shape(fields.data() + at)) return false;
    }
    const size_t first = values.size();
    values.resize(first + fields.size() / kField);
    double* out = values.data() + first;
    for (size_t at = 0; at < fields.size(); at += kField) *out++ = standard_real(fields.data() + at);
    return true;
}

bool read_standard_continuation(std::string_view rest, int width, std::vector<double>& values) {
    const auto columns = static_cast<size_t>(width);
    if (width <= 0 || rest.size() < columns) return false;
    if (rest.substr(0, columns).find_first_not_of(' ') != std::string_view::npos) return false;
    return read_standard_reals(rest.substr(columns), values);
}

}  // namespace kovan
