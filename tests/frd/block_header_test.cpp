#include "frd/block_header.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kovan;

namespace {

BlockHeader block(std::string_view line) {
    std::vector<std::string_view> tokens;
    return read_block_header(line, tokens);
}

ResultHeader result(std::string_view line) {
    std::vector<std::string_view> tokens;
    return read_result_header(line, tokens);
}

TEST(BlockHeader, CountIsTheSecondTokenAndFormatTheLast) {
    const BlockHeader h = block("2C                            32                                     3");
    EXPECT_EQ(h.count, 32);
    EXPECT_EQ(h.format, 3);
    EXPECT_TRUE(h.format_stated);
}

TEST(BlockHeader, MissingOrOddFieldsFallBackToCountMinusOneAndFormatOne) {
    EXPECT_EQ(block("2C").count, -1);
    EXPECT_EQ(block("2C").format, 1);
    EXPECT_EQ(block("2C x 0").count, -1);
    // Two tokens: a count but no format code, even when the count looks like one.
    const BlockHeader two = block("3C 0");
    EXPECT_EQ(two.count, 0);
    EXPECT_EQ(two.format, 1);
    EXPECT_FALSE(two.format_stated);
    EXPECT_FALSE(block("2C 5 7").format_stated);
    EXPECT_EQ(block("2C 5 -1").format, 1);  // -1 as unsigned is not below 4
    EXPECT_EQ(block("2C 5 zero").format, 1);
}

TEST(ResultHeader, ReadsCalculiXColumns) {
    const ResultHeader h = result("  100CL  101 5.00000E-01          12                     0    1           1");
    EXPECT_TRUE(h.key.has_set_number);
    EXPECT_EQ(h.key.set_number, 101);
    EXPECT_EQ(h.key.time, 0.5);
    EXPECT_EQ(h.block.count, 12);
    EXPECT_EQ(h.block.format, 1);
}

TEST(ResultHeader, SetNumberRunIntoTheKeyFromTenThousandOn) {
    const ResultHeader h = result("  100CL10000 9.90000E-01           8                     0    1           2");
    EXPECT_EQ(h.key.set_number, 10000);
    EXPECT_EQ(h.key.time, 0.99);
    EXPECT_EQ(h.block.count, 8);
    EXPECT_EQ(h.block.format, 2);
    // The same line without CalculiX's columns falls back to tokens.
    const ResultHeader t = result("100CL10000 9.9E-01 8 0 1 2");
    EXPECT_EQ(t.key.set_number, 10000);
    EXPECT_EQ(t.key.time, 0.99);
    EXPECT_EQ(t.block.count, 8);
    EXPECT_EQ(t.block.format, 2);
}

TEST(ResultHeader, TimeRunIntoTheSetNumberByThePostProcessor) {
    const ResultHeader h = result("  100CL  1011.00000e+00          8                      0 1              0");
    EXPECT_EQ(h.key.set_number, 101);
    EXPECT_EQ(h.key.time, 1.0);
    EXPECT_EQ(h.block.count, 8);
    EXPECT_EQ(h.block.format, 0);
}

TEST(ResultHeader, TimeWiderThanItsColumnsIsReadByTokens) {
    // Column 24 is not blank, so the columns would cut the time.
    const ResultHeader h = result("  100CL  101 1.00000000000025         12                     0    1           1");
    EXPECT_EQ(h.key.time, 1.00000000000025);
    EXPECT_EQ(h.block.count, 12);
}

TEST(ResultHeader, UnreadableFieldsGiveTimeZeroCountMinusOneAndAscii) {
    const ResultHeader h = result("100CL x y");
    EXPECT_FALSE(h.key.has_set_number);
    EXPECT_EQ(h.key.time, 0.0);
    EXPECT_EQ(h.block.count, -1);
    EXPECT_EQ(h.block.format, 1);
    EXPECT_EQ(result("100CL 1 2.0 2").block.format, 1);  // fewer than five tokens
    EXPECT_EQ(result("100CL 1 2.0 3 0 2").block.format, 2);
    EXPECT_TRUE(std::isnan(result("100CL 1 nan 3 0 1").key.time));
}

}  // namespace
