#include "blocks/field_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <limits>
#include <vector>

using namespace kovan;

namespace {

std::string integer(int64_t value, int width) {
    OutputText out;
    append_integer(out, value, width);
    return std::string(out.view());
}

std::string real(double value, bool zero_point) {
    OutputText out;
    append_real(out, value, zero_point);
    return std::string(out.view());
}

TEST(FieldFormat, IntegersAreRightAlignedAndNeverCut) {
    EXPECT_EQ(integer(42, 5), "   42");
    EXPECT_EQ(integer(-42, 10), "       -42");
    EXPECT_EQ(integer(123456, 5), "123456");
    EXPECT_EQ(integer(INT64_MIN, 5), "-9223372036854775808");
    EXPECT_EQ(integer(-7, 100), std::string(98, ' ') + "-7");  // wider than any field buffer
}

TEST(FieldFormat, StandardRealsAreTwelveColumns) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {1234.5678, " 1.23457E+03"}, {-0.5, "-5.00000E-01"},  {0.0, " 0.00000E+00"},
        {-0.0, "-0.00000E+00"},      {1e-300, "1.00000E-300"}, {-2.5e123, "-2.50000E+123"},
        {9.999996, " 1.00000E+01"},
    };
    for (const Case& c : cases) EXPECT_EQ(real(c.value, false), c.text) << c.value;
}

TEST(FieldFormat, ZeroPointRealsMoveThePointBeforeTheFirstDigit) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {1234.5678, " 0.12346E+04"}, {-0.5, "-0.50000E+00"}, {0.0, " 0.00000E+00"},
        {-0.0, "-0.00000E+00"},      {9.99996, " 0.10000E+02"}, {1e-300, "0.10000E-299"},
        {-1e-300, "-0.10000E-299"},
    };
    for (const Case& c : cases) EXPECT_EQ(real(c.value, true), c.text) << c.value;
}

TEST(FieldFormat, NotANumberAndInfinities) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(real(NAN, false), "         NaN");
    EXPECT_EQ(real(NAN, true), "         NaN");
    EXPECT_EQ(real(inf, false), "         INF");
    EXPECT_EQ(real(-inf, false), "        -INF");
    EXPECT_EQ(real(inf, true), "INF");
    EXPECT_EQ(real(-inf, true), "-INF");
}

// The fields are made without the print routine; they must be its bytes.
TEST(FieldFormat, SameBytesAsThePrintRoutineForMillionsOfValues) {
    std::mt19937_64 random(2026);
    std::uniform_int_distribution<int> exponent(-330, 330);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    char expected[64];
    for (int i = 0; i < 3000000; ++i) {
        uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);  // every pattern: subnormals, huge, tiny
        if (i % 2 == 0) value = mantissa(random) * std::pow(10.0, exponent(random));
        if (i % 7 == 0) value = std::round(value * 1e5) / 1e5;  // halfway cases of five decimals
        if (i % 5 == 0) {  // six digits and a five: the nearest double lies just above or below the half
            const std::string text = std::to_string(100000 + random() % 900000) + "5e" + std::to_string(exponent(random));
            value = std::strtod(text.c_str(), nullptr) * (random() % 2 ? 1.0 : -1.0);
        }
        if (i % 13 == 0) value = std::nextafter(std::floor(value), value > 0 ? 1e308 : -1e308);  // 9.99999..
        if (std::isnan(value)) continue;
        std::snprintf(expected, sizeof expected, "%12.5E", value);
        ASSERT_EQ(real(value, false), expected) << std::hexfloat << value;
        std::snprintf(expected, sizeof expected, "%*lld", 10, static_cast<long long>(bits));
        ASSERT_EQ(integer(static_cast<int64_t>(bits), 10), expected);
    }
}

// Where rounding to six digits is hardest: exact halves (seven-digit
// integers ending in 5, halves of six-digit integers), powers of two and ten
// and their neighbours, 9.999995 and the edges of the exact integer method.
TEST(FieldFormat, SameBytesAsThePrintRoutineWhereRoundingIsHardest) {
    std::vector<double> values;
    for (int n = -1074; n <= 1023; ++n) values.push_back(std::ldexp(1.0, n));
    for (int k = -30; k <= 30; ++k) {
        const double p = std::pow(10.0, k);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), 9.999995 * p,
                                     9.9999949999 * p, 9.99999500001 * p, 1.000005 * p, 1.234565 * p});
    }
    std::mt19937_64 random(11);
    for (int i = 0; i < 200000; ++i) {
        const double seven = double(1000000 + random() % 9000000 / 10 * 10 + 5);  // ...5: a tie at the sixth digit
        values.push_back(std::ldexp(seven, static_cast<int>(random() % 40) - 20));
        values.push_back(double(100000 + random() % 900000) + 0.5);
    }
    char expected[64];
    for (double v : values) {
        for (double value : {v, -v}) {
            std::snprintf(expected, sizeof expected, "%12.5E", value);
            ASSERT_EQ(real(value, false), expected) << std::hexfloat << value;
        }
    }
}

TEST(FieldFormat, ZeroPointDigitsAreThoseOfTheFourDecimalExponentForm) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    char printed[64];
    for (int i = 0; i < 100000; ++i) {
        const double v = value(random);
        std::snprintf(printed, sizeof printed, "%.4E", v);
        const std::string field = real(v, true);
        // Same five digits, exponent one higher.
        std::string digits(printed);
        digits.erase(digits.find('.'), 1);
        const size_t e = digits.find('E');
        const std::string mantissa = digits.substr(v < 0 ? 1 : 0, e - (v < 0 ? 1 : 0));
        ASSERT_NE(field.find("0." + mantissa + "E"), std::string::npos) << field << " " << printed;
        ASSERT_EQ(std::stoi(field.substr(field.find('E') + 1)), std::stoi(digits.substr(e + 1)) + 1);
    }
}

}  // namespace
