#include "blocks/field_format.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "blocks/six_digits.h"

namespace kovan {
namespace {

constexpr size_t kFieldBuffer = 32;

void append_printed(OutputText& out, const char* text, int length) {
    if (length > 0) out.append(text, static_cast<size_t>(length));
}

// What "%.<precision>E" prints, without the print routine where the
// standard library can: std::to_chars gives the same correctly rounded
// digits, with a lower-case exponent letter and "inf" where printf writes
// INF. Libraries without to_chars for doubles (WebAssembly's libc++) print,
// and their printf (musl's) rounds exactly too. NaN is handled by the callers.
int print_exponent_form(char* buffer, size_t size, double value, int precision) {
    if (std::isinf(value)) {
        const char* text = value < 0 ? "-INF" : "INF";
        std::memcpy(buffer, text, std::strlen(text) + 1);
        return static_cast<int>(std::strlen(text));
    }
#if defined(__cpp_lib_to_chars)
    char* end = std::to_chars(buffer, buffer + size - 1, value, std::chars_format::scientific, precision).ptr;
    *end = '\0';
    char* e = std::strchr(buffer, 'e');
    if (e != nullptr) *e = 'E';
    return static_cast<int>(end - buffer);
#else
    return std::snprintf(buffer, size, "%.*E", precision, value);
#endif
}

// "%.4E" gives d.ddddE±xx; FRD's zero-point form moves the point before the
// first digit: 0.dddddE±(xx+1).
void append_zero_point(OutputText& out, double value) {
    char printed[kFieldBuffer];
    print_exponent_form(printed, sizeof printed, value, 4);
    const char* e = std::strchr(printed, 'E');
    if (e == nullptr || e - printed < 2) {
        out.append(std::string_view(printed));
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

// " d.dddddE+xx" from six digits and a decimal exponent of two digits.
void append_standard(OutputText& out, bool negative, uint32_t digits, int exponent) {
    char field[12];
    field[0] = negative ? '-' : ' ';
    field[1] = static_cast<char>('0' + digits / 100000);
    field[2] = '.';
    for (int k = 7; k >= 3; --k, digits /= 10) field[k] = static_cast<char>('0' + digits % 10);
    field[8] = 'E';
    field[9] = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    field[10] = static_cast<char>('0' + magnitude / 10);
    field[11] = static_cast<char>('0' + magnitude % 10);
    out.append(field, sizeof field);
}

}  // namespace

// "%*lld", padded here rather than by the print routine: widths read from a
// file can be far wider than any buffer on the stack.
void append_integer(OutputText& out, int64_t value, int width) {
    char digits[kFieldBuffer];
    const int length = static_cast<int>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    if (width > length) out.append(static_cast<size_t>(width - length), ' ');
    append_printed(out, digits, length);
}

void append_real(OutputText& out, double value, bool zero_point) {
    uint32_t digits = 0;
    int exponent = 0;
    if (std::isnan(value)) {
        out.append("         NaN");
    } else if (!zero_point && value == 0.0) {
        out.append(std::signbit(value) ? "-0.00000E+00" : " 0.00000E+00");
    } else if (!zero_point && six_digits(std::fabs(value), digits, exponent)) {
        append_standard(out, value < 0, digits, exponent);
    } else if (zero_point) {
        append_zero_point(out, value);
    } else {
        char field[kFieldBuffer];
        const int length = print_exponent_form(field, sizeof field, value, 5);  // "%12.5E"
        if (length < 12) out.append(static_cast<size_t>(12 - length), ' ');
        append_printed(out, field, length);
    }
}

}  // namespace kovan
