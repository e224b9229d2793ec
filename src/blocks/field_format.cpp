#include "blocks/field_format.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kovan {
namespace {

constexpr size_t kFieldBuffer = 32;

void append_printed(std::string& out, const char* text, int length) {
    if (length > 0) out.append(text, static_cast<size_t>(length));
}

// "%.4E" gives d.ddddE±xx; FRD's zero-point form moves the point before the
// first digit: 0.dddddE±(xx+1).
void append_zero_point(std::string& out, double value) {
    char printed[kFieldBuffer];
    std::snprintf(printed, sizeof printed, "%.4E", value);
    const char* e = std::strchr(printed, 'E');
    if (e == nullptr || e - printed < 2) {
        out.append(printed);
        return;
    }
    const bool negative = printed[0] == '-';
    char digits[kFieldBuffer];
    size_t n = 0;
    for (const char* c = printed + (negative ? 1 : 0); c < e; ++c) {
        if (*c != '.') digits[n++] = *c;
    }
    digits[n] = '\0';
    long exponent = std::strtol(e + 1, nullptr, 10);
    if (value != 0.0) ++exponent;
    char field[kFieldBuffer];
    const int length = std::snprintf(field, sizeof field, "%s0.%sE%+03ld", negative ? "-" : "", digits, exponent);
    if (length < 12) out.append(static_cast<size_t>(12 - length), ' ');
    append_printed(out, field, length);
}

}  // namespace

// "%*lld", padded here rather than by the print routine: widths read from a
// file can be far wider than any buffer on the stack.
void append_integer(std::string& out, int64_t value, int width) {
    char digits[kFieldBuffer];
    const int length = std::snprintf(digits, sizeof digits, "%" PRId64, value);
    if (width > length) out.append(static_cast<size_t>(width - length), ' ');
    append_printed(out, digits, length);
}

void append_real(std::string& out, double value, bool zero_point) {
    if (std::isnan(value)) {
        out.append("         NaN");
    } else if (zero_point) {
        append_zero_point(out, value);
    } else {
        char field[kFieldBuffer];
        append_printed(out, field, std::snprintf(field, sizeof field, "%12.5E", value));
    }
}

}  // namespace kovan
