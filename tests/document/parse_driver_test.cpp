#include "document/parse_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

std::string ascii_block(const std::string& header, const std::string& name = "DISP") {
    return header + "\n -4  " + name + "        1    1\n -5  D1          1    2    1    0\n"
           " -1         1 1.00000E+00\n -3\n";
}

std::vector<double> times_of(const kovan::Document& doc) {
    std::vector<double> times;
    for (const auto& step : doc.steps) times.push_back(step.time);
    return times;
}

TEST(ParseDriver, EmptyTextHasNothing) {
    const auto doc = parse_text("");
    EXPECT_TRUE(doc->mesh->node_ids.empty());
    EXPECT_EQ(doc->mesh->cell_offsets, (std::vector<int64_t>{0}));
    EXPECT_TRUE(doc->steps.empty());
    EXPECT_TRUE(doc->step_slots.empty());
}

TEST(ParseDriver, ATextWithoutAnyFrdLineIsNoFrdFile) {
    const std::string random_bytes("\x8f\x01\xfe\n\x00\x13 -x\n\xc3", 11);
    for (const std::string& text : {random_bytes, std::string("a renamed\nnote.txt\n"), std::string(" \n")}) {
        const auto doc = parse_text(text);
        ASSERT_EQ(doc->diagnostics.size(), 1u);
        const kovan_diagnostic d = doc->diagnostics[0];
        EXPECT_EQ(std::make_tuple(d.kind, d.element_type, d.line, d.expected, d.found),
                  std::make_tuple(KOVAN_DIAG_NOT_FRD, 0, int64_t{1}, int64_t{-1}, int64_t{0}));
    }
    // Nothing yet, or the first bytes of a file the solver has just begun.
    for (const char* text : {"", "    1", "    1C", "note\n -4  DISP 3 1\n", "\n 9999\n"}) {
        EXPECT_TRUE(parse_text(text)->diagnostics.empty()) << text;
    }
}

TEST(ParseDriver, StepsAreSortedByTimeWithOneEmptySlotEach) {
    const auto doc = parse_text(ascii_block("  100CL  101 2.00000E+00           1                     0    1           1") +
                                ascii_block("  100CL  102 1.00000E+00           1                     0    2           1") +
                                ascii_block("  100CL  103 3.00000E+00           1                     0    3           1"));
    EXPECT_EQ(times_of(*doc), (std::vector<double>{1.0, 2.0, 3.0}));
    ASSERT_EQ(doc->step_slots.size(), 3u);
    EXPECT_EQ(doc->step_slots[0], nullptr);
    EXPECT_EQ(doc->steps_parsed.load(), 0u);
}

TEST(ParseDriver, BlocksOfOneSetAndTimeFormOneStep) {
    const std::string header = "  100CL  101 1.00000E+00           1                     0    1           1";
    const auto doc = parse_text(ascii_block(header, "DISP") + " 9999\n" + ascii_block(header, "STRESS"));
    ASSERT_EQ(doc->steps.size(), 1u);
    ASSERT_EQ(doc->steps[0].blocks.size(), 2u);
    EXPECT_EQ(doc->steps[0].blocks[0].name, "DISP");
    EXPECT_EQ(doc->steps[0].blocks[1].name, "STRESS");  // read after " 9999"
}

TEST(ParseDriver, ModesSharingAFrequencyStaySeparateStepsInFileOrder) {
    const auto doc = parse_text(ascii_block("  100CL  102 2.85424E+04           1                     2    1MODAL      1", "M2") +
                                ascii_block("  100CL  101 2.85424E+04           1                     2    2MODAL      1", "M1") +
                                ascii_block("  100CL  100 1.00000E+04           1                     2    2MODAL      1", "M0"));
    ASSERT_EQ(doc->steps.size(), 3u);
    EXPECT_EQ(doc->steps[0].blocks[0].name, "M0");
    EXPECT_EQ(doc->steps[1].blocks[0].name, "M2");
    EXPECT_EQ(doc->steps[2].blocks[0].name, "M1");
    EXPECT_EQ(doc->steps[1].set_number, 102);
}

TEST(ParseDriver, BlocksWithoutSetNumberGroupByTime) {
    const auto doc = parse_text(ascii_block("100CL x 4.0") + ascii_block("100CL") + ascii_block("100CL y") +
                                ascii_block("100CL 5 4.0 1 0 1"));
    ASSERT_EQ(doc->steps.size(), 2u);
    EXPECT_EQ(times_of(*doc), (std::vector<double>{0.0, 4.0}));
    EXPECT_FALSE(doc->steps[0].has_set_number);
    EXPECT_EQ(doc->steps[0].blocks.size(), 3u);  // no readable time: time 0.0
    EXPECT_TRUE(doc->steps[1].has_set_number);
}

TEST(ParseDriver, NotANumberTimesShareAStepAfterEveryNumber) {
    const auto doc = parse_text(ascii_block("100CL 1 nan 1 0 1") + ascii_block("100CL 1 inf 1 0 1") +
                                ascii_block("100CL 1 -nan 1 0 1") + ascii_block("100CL 1 -0.0 1 0 1") +
                                ascii_block("100CL 1 0.0 1 0 1"));
    ASSERT_EQ(doc->steps.size(), 3u);
    EXPECT_EQ(doc->steps[0].time, 0.0);
    EXPECT_EQ(doc->steps[0].blocks.size(), 2u);  // 0.0 and -0.0 are one time
    EXPECT_EQ(doc->steps[1].time, HUGE_VAL);
    EXPECT_TRUE(std::isnan(doc->steps[2].time));
    EXPECT_EQ(doc->steps[2].blocks.size(), 2u);
}

TEST(ParseDriver, AsciiBlockRecordsRunFromTheFirstDataLineToTheEndLine) {
    const std::string text = ascii_block("  100CL  101 1.00000E+00           1                     0    1           1");
    const auto doc = parse_text(text);
    const kovan::BlockRef& block = doc->steps.at(0).blocks.at(0);
    EXPECT_EQ(block.format, 1);
    EXPECT_EQ(block.components, 0);
    EXPECT_EQ(block.line, 4u);
    EXPECT_EQ(text.substr(block.begin, block.end - block.begin), " -1         1 1.00000E+00\n");
}

// A binary DISP block; it declares as many components as `fifth_lines` has lines.
std::string binary_result_block(int64_t declared_nodes, int real_bytes, const std::string& fifth_lines,
                                int components, int records) {
    const auto declared_components = std::count(fifth_lines.begin(), fifth_lines.end(), '\n');
    std::string text = "  100CL  101 1.00000E+00 " + std::string(11 - std::to_string(declared_nodes).size(), ' ') +
                       std::to_string(declared_nodes) + "                     0    1           " +
                       std::to_string(real_bytes == 8 ? 3 : 2) + "\n -4  DISP        " +
                       std::to_string(declared_components) + "    1\n" + fifth_lines;
    for (int r = 0; r < records; ++r) {
        put_i32(text, r + 1);
        for (int c = 0; c < components; ++c) {
            if (real_bytes == 8) {
                put_f64(text, c);
            } else {
                put_f32(text, static_cast<float>(c));
            }
        }
    }
    return text;
}

const std::string kDispComponents =
    " -5  D1          1    2    1    0\n -5  D2          1    2    2    0\n"
    " -5  D3          1    2    3    0\n -5  ALL         1    2    0    0    1ALL\n";

TEST(ParseDriver, BinaryBlockSkipsComputedComponents) {
    const std::string text = binary_result_block(2, 4, kDispComponents, 3, 2) + " -3\n 9999\n";
    const auto doc = parse_text(text);
    const kovan::BlockRef& block = doc->steps.at(0).blocks.at(0);
    EXPECT_EQ(block.format, 2);
    EXPECT_EQ(block.components, 3);
    EXPECT_EQ(block.end - block.begin, 2u * 16u);
    EXPECT_EQ(block.line, 6u);  // the last "-5" line
    EXPECT_EQ(text.substr(block.end, 4), " -3\n");
}

TEST(ParseDriver, BinaryBlockThatCannotBeLocatedLeavesAnEmptyStep) {
    const std::string no_count = "  100CL  101 1.00000E+00  x   0 1 2\n -4  DISP 1 1\n -5  D1 1 2 1 0\n";
    const std::string truncated = binary_result_block(5, 8, kDispComponents, 3, 2);
    const std::string no_terminator = binary_result_block(1, 4, kDispComponents, 3, 1) + "x";
    const std::string no_stored = binary_result_block(1, 4, " -5  ALL 1 2 0 0 1\n", 0, 1) + " -3";
    for (const std::string& text : {no_count, truncated, no_terminator, no_stored}) {
        const auto doc = parse_text(text);
        ASSERT_EQ(doc->steps.size(), 1u);
        EXPECT_TRUE(doc->steps[0].blocks.empty());
    }
}

TEST(ParseDriver, ParseGoesOnAfterABinaryBlockItCouldNotLocate) {
    // What follows the payload is read as ordinary lines; the node block
    // after it still counts. A payload the text does not hold, though, runs
    // to the end of the text: the file is still being written.
    const std::string nodes = "\n    2C\n -1 1 0.0 0.0 0.0\n -3\n";
    EXPECT_EQ(parse_text(binary_result_block(1, 4, kDispComponents, 3, 1) + "x" + nodes)->mesh->node_ids.size(), 1u);
    const auto cut = parse_text(binary_result_block(9, 4, kDispComponents, 3, 1) + nodes);
    EXPECT_EQ(cut->mesh->node_ids.size(), 0u);
    ASSERT_EQ(cut->diagnostics.size(), 1u);
    EXPECT_EQ(cut->diagnostics[0].kind, KOVAN_DIAG_INCOMPLETE_BLOCK);
    EXPECT_EQ(cut->diagnostics[0].expected, 9);
    EXPECT_EQ(cut->diagnostics[0].found, 2);  // whole records before the end
}

}  // namespace
