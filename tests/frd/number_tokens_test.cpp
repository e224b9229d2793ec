#include "frd/number_tokens.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using kovan::parse_int;
using kovan::parse_real;

namespace {

struct IntCase {
    const char* token;
    bool parses;
    int64_t value;
};

TEST(NumberTokens, IntegersFollowTheTokenRules) {
    const IntCase cases[] = {
        {"42", true, 42},
        {" +7\t", true, 7},
        {"-13", true, -13},
        {"1_000_000", true, 1000000},
        {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775807", true, -INT64_MAX},
        {"\n5\r", true, 5},
        {"-9223372036854775808", false, 0},  // the most negative value has no positive twin
        {"9223372036854775808", false, 0},
        {"99999999999999999999999", false, 0},
        {"1__0", false, 0},
        {"_1", false, 0},
        {"1_", false, 0},
        {"+", false, 0},
        {"", false, 0},
        {"1.0", false, 0},
        {"12a", false, 0},
        {"--1", false, 0},
        {"1 2", false, 0},
        {"\x1c" "1", false, 0},  // separator controls are not number blanks
    };
    for (const IntCase& c : cases) {
        const auto parsed = parse_int(c.token);
        EXPECT_EQ(parsed.has_value(), c.parses) << '"' << c.token << '"';
        if (parsed && c.parses) {
            EXPECT_EQ(*parsed, c.value) << c.token;
        }
    }
}

struct RealCase {
    const char* token;
    bool parses;
    double value;
};

TEST(NumberTokens, RealsFollowTheTokenRules) {
    const RealCase cases[] = {
        {"1.5", true, 1.5},
        {"+2.5E+01", true, 25.0},
        {" -3.25e-2 ", true, -0.0325},
        {"1_0.5", true, 10.5},
        {"7", true, 7.0},
        {".5", true, 0.5},
        {"1e-400", true, 0.0},  // underflow rounds to zero, the value is in range
        {"+", false, 0},
        {"", false, 0},
        {"+-1", false, 0},
        {"1e400", false, 0},
        {"-1e400", false, 0},
        {"1.0D+00", false, 0},  // D exponents are not FRD as CalculiX writes it
        {"1__0.5", false, 0},
        {"_1.5", false, 0},
        {"1.5x", false, 0},
        {"1.#XYZ0E+000", false, 0},
    };
    for (const RealCase& c : cases) {
        const auto parsed = parse_real(c.token);
        EXPECT_EQ(parsed.has_value(), c.parses) << '"' << c.token << '"';
        if (parsed && c.parses) {
            EXPECT_EQ(*parsed, c.value) << c.token;
        }
    }
}

TEST(NumberTokens, RealsAreCorrectlyRounded) {
    const auto value = parse_real("0.1");
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, 0.1);  // the double nearest to 0.1, not a neighbour
    EXPECT_EQ(*parse_real("2.2250738585072014E-308"), std::numeric_limits<double>::min());
    EXPECT_EQ(*parse_real("1.7976931348623157E+308"), std::numeric_limits<double>::max());
}

TEST(NumberTokens, InfinityAndNotANumberInEverySpelling) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(*parse_real("inf"), inf);
    EXPECT_EQ(*parse_real("-Infinity"), -inf);
    EXPECT_EQ(*parse_real("+INF"), inf);
    EXPECT_TRUE(std::isnan(*parse_real("nan")));
    // The Windows C runtime's spellings.
    EXPECT_EQ(*parse_real("1.#INF00E+000"), inf);
    EXPECT_EQ(*parse_real("-1.#INF00E+000"), -inf);
    EXPECT_TRUE(std::isnan(*parse_real("-1.#IND0E+000")));
    EXPECT_TRUE(std::isnan(*parse_real("1.#QNAN0E+000")));
    EXPECT_TRUE(std::isnan(*parse_real("1.#QNAN")));
    EXPECT_TRUE(std::isnan(*parse_real("-NAN(IND)")));
    EXPECT_TRUE(std::isnan(*parse_real("-nan(ind)")));
}

}  // namespace
