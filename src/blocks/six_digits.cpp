#include "blocks/six_digits.h"

#include <cstring>

namespace kovan {
namespace {

constexpr int kLowestExponent = -17;
constexpr int kHighestExponent = 15;

constexpr uint64_t kPowers[] = {1ull,
                                10ull,
                                100ull,
                                1000ull,
                                10000ull,
                                100000ull,
                                1000000ull,
                                10000000ull,
                                100000000ull,
                                1000000000ull,
                                10000000000ull,
                                100000000000ull,
                                1000000000000ull,
                                10000000000000ull,
                                100000000000000ull,
                                1000000000000000ull,
                                10000000000000000ull,
                                100000000000000000ull,
                                1000000000000000000ull,
                                10000000000000000000ull};

__extension__ typedef unsigned __int128 Wide;  // a GCC and Clang extension on 64-bit targets

Wide power_of_ten(int n) {  // n from 0 to 22
    return n < 20 ? Wide{kPowers[n]} : Wide{kPowers[19]} * kPowers[n - 19];
}

// The value mantissa * 2^binary * 10^(5 - decimal), rounded to an integer
// with halves to even; false when it does not fit the arithmetic here.
bool scaled(uint64_t mantissa, int binary, int decimal, uint64_t& rounded, uint64_t& truncated) {
    const int j = 5 - decimal;
    Wide numerator = mantissa, denominator = 1;
    if (j >= 0) {
        if (j > 22) return false;
        numerator *= power_of_ten(j);
    } else {
        if (-j > 22) return false;
        denominator = power_of_ten(-j);
    }
    if (binary >= 0) {
        if (binary > 40) return false;
        numerator <<= binary;
    } else {
        // Four bits per decimal digit of the denominator is more than it takes.
        if (-binary > 126 - (j < 0 ? 4 * -j : 0)) return false;
        denominator <<= -binary;
    }
    const Wide quotient = numerator / denominator, remainder = numerator % denominator;
    if (quotient > 10000000) return false;
    truncated = static_cast<uint64_t>(quotient);
    const Wide twice = remainder * 2;
    const bool up = twice > denominator || (twice == denominator && (truncated & 1) != 0);
    rounded = truncated + (up ? 1 : 0);
    return true;
}

}  // namespace

bool six_digits(double magnitude, uint32_t& digits, int& exponent) {
    uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0 || biased >= 0x7FF || (bits >> 63) != 0) return false;  // zero, subnormal, INF, NaN, negative
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int binary = biased - 1075;  // magnitude = mantissa * 2^binary
    // floor(log10(2^(binary + 52))), at most one below the decimal exponent.
    int decimal = static_cast<int>(((static_cast<int64_t>(binary) + 52) * 78913) >> 18);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (decimal < kLowestExponent || decimal > kHighestExponent) return false;
        uint64_t rounded = 0, truncated = 0;
        if (!scaled(mantissa, binary, decimal, rounded, truncated)) return false;
        if (truncated >= 1000000) {
            ++decimal;  // the estimate was one too low
            continue;
        }
        if (truncated < 100000) {
            --decimal;
            continue;
        }
        if (rounded == 1000000) {  // 9.999995 and up: 1.00000 of the next power
            digits = 100000;
            exponent = decimal + 1;
            return exponent <= kHighestExponent + 1;
        }
        digits = static_cast<uint32_t>(rounded);
        exponent = decimal;
        return true;
    }
    return false;
}

}  // namespace kovan
