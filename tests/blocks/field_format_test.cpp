#include "blocks/field_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kovan;

namespace {

std::string integer(int64_t value, int width) {
    std::string out;
    append_integer(out, value, width);
    return out;
}

std::string real(double value, bool zero_point) {
    std::string out;
    append_real(out, value, zero_point);
    return out;
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

}  // namespace
