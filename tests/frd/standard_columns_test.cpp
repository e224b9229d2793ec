#include "frd/standard_columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "frd/number_tokens.h"

using namespace kovan;

namespace {

std::string e12(double v) {
    char field[32];
    std::snprintf(field, sizeof field, "%12.5E", v);
    return field;
}

uint64_t bits(double v) {
    uint64_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Every value CalculiX prints must read to the same bits as the general
// number reader gives for the same text.
TEST(StandardColumns, RealsReadToTheBitsOfTheGeneralReader) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-99, 99);
    std::vector<double> samples = {0.0, -0.0, 1.0, -1.0, 9.99999e99, 1e-99, -1.23456e-23, 6.54321e22, 1e23};
    for (int i = 0; i < 500000; ++i) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        samples.push_back(random() % 2 ? v : -v);
    }
    // Each field alone, and all of them as records of six fields, as lines hold them.
    std::vector<double> values, expected;
    std::string line;
    const auto check_line = [&] {
        values.clear();
        ASSERT_TRUE(read_standard_reals(line, values)) << line;
        ASSERT_EQ(values.size(), expected.size());
        for (size_t i = 0; i < values.size(); ++i) ASSERT_EQ(bits(values[i]), bits(expected[i])) << line;
        line.clear();
        expected.clear();
    };
    for (double v : samples) {
        const std::string field = e12(v);
        if (field.size() != 12) continue;  // a three-digit exponent is not this layout
        const auto general = parse_real(field.front() == ' ' ? field.substr(1) : field);
        ASSERT_TRUE(general.has_value()) << field;
        line = field;
        expected = {*general};
        check_line();
    }
    for (size_t i = 0; i < samples.size(); ++i) {
        const std::string field = e12(samples[i]);
        if (field.size() != 12) continue;
        line += field;
        expected.push_back(*parse_real(field.front() == ' ' ? field.substr(1) : field));
        if (expected.size() == 6) check_line();
    }
}

// Every byte in every column of a field, first and last in a line: taken
// exactly when the field still has the layout.
// What each column of "%12.5E" may hold.
bool fits_layout(const std::string& field) {
    static const char* const allowed[12] = {" -",         "0123456789", ".",          "0123456789",
                                            "0123456789", "0123456789", "0123456789", "0123456789",
                                            "E",          "+-",         "0123456789", "0123456789"};
    for (size_t column = 0; column < 12; ++column) {
        if (field[column] == '\0' || std::strchr(allowed[column], field[column]) == nullptr) return false;
    }
    return true;
}

TEST(StandardColumns, EveryColumnRefusesWhatBreaksTheLayout) {
    const std::string good = "-1.23456E+07";
    std::vector<double> values;
    for (size_t column = 0; column < 12; ++column) {
        for (int byte = 0; byte < 256; ++byte) {
            std::string field = good;
            field[column] = static_cast<char>(byte);
            const bool fits = fits_layout(field);
            for (const std::string& line : {field, field + good, good + field}) {
                values.clear();
                EXPECT_EQ(read_standard_reals(line, values), fits) << column << " " << byte;
                EXPECT_EQ(values.size(), fits ? line.size() / 12 : 0u);
            }
        }
    }
}

TEST(StandardColumns, OnlyTheExactLayoutIsTaken) {
    std::vector<double> values = {42.0};
    for (const char* fields : {"", " 1.00000E+00 ", " 1.00000E+0", " 1.00000e+00", "+1.00000E+00", " 1.0000E+001",
                               "  1.0000E+00", " 1.00000E+00 2.00000D+00", " 1,00000E+00", " 1.00000E 00"}) {
        EXPECT_FALSE(read_standard_reals(fields, values)) << fields;
    }
    EXPECT_EQ(values, std::vector<double>{42.0});  // untouched by a refusal
    ASSERT_TRUE(read_standard_reals(" 1.50000E+00-2.50000E-01", values));
    EXPECT_EQ(values, (std::vector<double>{42.0, 1.5, -0.25}));

    int64_t id = 0;
    EXPECT_TRUE(read_standard_id("      1234 1.0", 10, id));
    EXPECT_EQ(id, 1234);
    EXPECT_TRUE(read_standard_id("1234567890", 10, id));
    EXPECT_EQ(id, 1234567890);
    for (const char* rest : {"          ", "     12 34", "       -12", "    12", "  12a"}) {
        EXPECT_FALSE(read_standard_id(rest, 10, id)) << rest;
    }
}

}  // namespace
