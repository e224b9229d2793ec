#include "frd/packed_record.h"

#include <gtest/gtest.h>

#include <cmath>

using kovan::read_packed_record;

namespace {

TEST(PackedRecord, ThreeDigitExponentsThatTouchAreSplit) {
    int64_t id = 0;
    std::vector<double> values;
    ASSERT_TRUE(read_packed_record("         4-5.28012E-0033.06745E-003-7.70711E-003", 10, id, values));
    EXPECT_EQ(id, 4);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], -5.28012E-003);
    EXPECT_EQ(values[1], 3.06745E-003);
    EXPECT_EQ(values[2], -7.70711E-003);
}

TEST(PackedRecord, PositiveFirstValueRunningIntoTheIdIsSplitByTheIdWidth) {
    int64_t id = 0;
    std::vector<double> values;
    ASSERT_TRUE(read_packed_record("    1234561.23456E-0031.00000E+000-2.00000E+000", 10, id, values));
    EXPECT_EQ(id, 123456);
    EXPECT_EQ(values, (std::vector<double>{1.23456E-003, 1.0, -2.0}));
    ASSERT_TRUE(read_packed_record("   121.00000E+0012.00000E+001 3.00000E+001", 5, id, values));
    EXPECT_EQ(id, 12);
    EXPECT_EQ(values, (std::vector<double>{10.0, 20.0, 30.0}));
}

TEST(PackedRecord, WindowsSpecialValuesReadInPlace) {
    int64_t id = 0;
    std::vector<double> values;
    ASSERT_TRUE(read_packed_record("    7-1.#IND0E+0001.#INF00E+000 0.00000E+000", 5, id, values));
    ASSERT_EQ(values.size(), 3u);
    EXPECT_TRUE(std::isnan(values[0]));
    EXPECT_EQ(values[1], HUGE_VAL);
    EXPECT_EQ(values[2], 0.0);
}

TEST(PackedRecord, FailsUnlessTheWholeTextIsUsed) {
    int64_t id = 0;
    std::vector<double> values;
    EXPECT_FALSE(read_packed_record("    4 1.00000E+000 junk", 5, id, values));
    EXPECT_FALSE(read_packed_record("    4 1.00000", 5, id, values));       // no exponent
    EXPECT_FALSE(read_packed_record("    x 1.00000E+000", 5, id, values));  // id does not parse
    EXPECT_FALSE(read_packed_record("   4", 5, id, values));                // shorter than the id field
    EXPECT_FALSE(read_packed_record("    41.0E1.0E+00", 5, id, values));     // one exponent digit to give
    EXPECT_TRUE(read_packed_record("    4   ", 5, id, values));
    EXPECT_TRUE(values.empty());
}

}  // namespace
