#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

const std::string kFiveNodes =
    "    2C                             5                                     1\n"
    " -1         1 0.0 0.0 0.0\n -1         2 1.0 0.0 0.0\n -1         3 2.0 0.0 0.0\n"
    " -1         4 3.0 0.0 0.0\n -1         5 4.0 0.0 0.0\n -3\n";

std::string header(const std::string& time = "1.00000E+00") {
    return "  100CL  101 " + time + "           5                     0    1           1\n";
}

std::string block(const std::string& name, int components, const std::string& records) {
    std::string text = header() + " -4  " + name + "        " + std::to_string(components) + "    1\n";
    for (int c = 0; c < components; ++c) text += " -5  C" + std::to_string(c + 1) + "          1    2    1    0\n";
    return text + records + " -3\n";
}

TEST(StepDecoder, PointsWithoutRecordKeepZeros) {
    const auto doc = open_text(kFiveNodes + block("DISP", 3,
                                                  " -1         2 1.00000E+00 2.00000E+00 3.00000E+00\n"
                                                  " -1         4-4.00000E+00-5.00000E+00-6.00000E+00\n"));
    EXPECT_EQ(array_names(doc.get(), 0), (std::vector<std::string>{"DISP"}));
    kovan_array_info info{};
    ASSERT_EQ(kovan_array_info_at(doc.get(), 0, 0, &info), KOVAN_OK);
    EXPECT_EQ(info.n_tuples, 5u);
    EXPECT_EQ(info.n_components, 3u);
    EXPECT_EQ(info.derived, 0u);
    EXPECT_EQ(array_values(doc.get(), 0, "DISP"),
              (std::vector<double>{0, 0, 0, 1, 2, 3, 0, 0, 0, -4, -5, -6, 0, 0, 0}));
}

TEST(StepDecoder, RecordLinesFollowTheTokenRules) {
    const auto doc = open_text(kFiveNodes + block("T", 3,
                                                  " -1         5 1.00000E+00-2.50000E-01 3.00000E+00\n"
                                                  " -1         1 1.5e-3 2.0 3.0\n"
                                                  " -1         2 1.0D+00 2.0 3.0\n"  // D exponent: ignored
                                                  " -1         3\n"                  // no value: ignored
                                                  " -1       12a 1.0 2.0 3.0\n"      // bad node number
                                                  " -1        99 7.0 7.0 7.0\n"));   // not in the mesh
    EXPECT_EQ(array_values(doc.get(), 0, "T"),
              (std::vector<double>{1.5e-3, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0, -0.25, 3.0}));
}

TEST(StepDecoder, ContinuationLinesCarryValuesPastTheSixth) {
    const auto doc = open_text(kFiveNodes +
                               block("PSTRESS", 8,
                                     " -1         1 1.0 2.0 3.0 4.0 5.0 6.0\n -2           7.0 8.0\n"
                                     " -1         2 1.0 2.0 3.0 4.0 5.0 6.0\n -2           7.0 x\n"  // bad: dropped
                                     " -2           9.0\n"  // follows no readable record
                                     " -1         3 1.0\n"));
    const auto values = array_values(doc.get(), 0, "PSTRESS");
    ASSERT_EQ(values.size(), 40u);
    EXPECT_EQ(std::vector<double>(values.begin(), values.begin() + 8), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(std::vector<double>(values.begin() + 8, values.begin() + 16), std::vector<double>(8, 0.0));
    EXPECT_EQ(std::vector<double>(values.begin() + 16, values.begin() + 24), std::vector<double>(8, 1.0));
}

TEST(StepDecoder, WindowsThreeDigitExponentsReadInTheBlocksColumns) {
    const auto doc = open_text(kFiveNodes + block("DISP", 3,
                                                  " -1         4-5.28012E-0033.06745E-003-7.70711E-003\n"
                                                  " -1         31.00000E+0002.00000E+000-1.#IND0E+000\n"));
    const auto values = array_values(doc.get(), 0, "DISP");
    ASSERT_EQ(values.size(), 15u);
    EXPECT_EQ(values[6], 1.0);
    EXPECT_EQ(values[7], 2.0);
    EXPECT_TRUE(std::isnan(values[8]));
    EXPECT_EQ(values[9], -5.28012E-003);
    EXPECT_EQ(values[10], 3.06745E-003);
}

TEST(StepDecoder, LastRecordOfANodeAndLastBlockOfANameWin) {
    const auto doc = open_text(kFiveNodes + block("DISP", 1, " -1 1 1.0\n -1 2 2.0\n -1 1 3.0\n") +
                               block("NT", 1, " -1 1 9.0\n") + block("DISP", 1, " -1 5 5.0\n") +
                               block("DISP", 1, " -1 bad\n"));  // yields no node: ignored
    EXPECT_EQ(array_names(doc.get(), 0), (std::vector<std::string>{"DISP", "NT"}));
    EXPECT_EQ(array_values(doc.get(), 0, "DISP"), (std::vector<double>{0, 0, 0, 0, 5}));
}

TEST(StepDecoder, ComponentRulesOfSingleValuesAndConflicts) {
    const auto filled = open_text(kFiveNodes + block("S", 6, " -1 1 1 2 3 4 5 6\n -1 2 7\n"));
    const auto values = array_values(filled.get(), 0, "S");
    EXPECT_EQ(std::vector<double>(values.begin() + 6, values.begin() + 12), std::vector<double>(6, 7.0));
    const auto first_scalar = open_text(kFiveNodes + block("T", 1, " -1 1 1\n -1 2 4 5 6\n"));
    EXPECT_EQ(array_values(first_scalar.get(), 0, "T"), (std::vector<double>{1, 4, 0, 0, 0}));
    const auto outside = open_text(kFiveNodes + block("U", 3, " -1 1 1 2 3\n -1 77 1 2\n"));  // not in the mesh
    EXPECT_EQ(array_values(outside.get(), 0, "U").size(), 15u);

    const auto conflict = open_text(kFiveNodes + block("DISP", 3, " -1 1 1 1 1\n") +
                                    block("STRESS", 6, " -1 1 1 2 3 4 5 6\n -1 17 1 2 3\n -1 3 1 2 3\n"));
    uint64_t n = 99;
    EXPECT_EQ(kovan_n_arrays(conflict.get(), 0, &n), KOVAN_ERR_COMPONENTS);
    EXPECT_EQ(n, 99u);
    EXPECT_STREQ(kovan_last_error(conflict.get()), "array 'STRESS': node 3 has 3 components, expected 6");
}

// Records in node order are laid as they come; once the order breaks, the
// block is read again by the general rules, whose outcome may differ from
// what the ordered start suggested.
TEST(StepDecoder, BlockWhoseOrderBreaksIsDecodedByTheGeneralRules) {
    // Node 2 conflicts with node 1's three values, until node 1 comes again with two.
    const auto healed = open_text(kFiveNodes + block("D", 3, " -1 1 1 2 3\n -1 2 4 5\n -1 1 6 7\n"));
    uint64_t n = 0;
    ASSERT_EQ(kovan_n_arrays(healed.get(), 0, &n), KOVAN_OK);
    EXPECT_EQ(array_values(healed.get(), 0, "D"), (std::vector<double>{6, 7, 4, 5, 0, 0, 0, 0, 0, 0}));
    // A conflict in an ordered block stands, and a later block of the name replaces it.
    const auto replaced = open_text(kFiveNodes + block("D", 3, " -1 1 1 2 3\n -1 2 4 5\n -1 3 1 2 3\n") +
                                    block("D", 1, " -1 4 9\n"));
    ASSERT_EQ(kovan_n_arrays(replaced.get(), 0, &n), KOVAN_OK);
    EXPECT_EQ(array_values(replaced.get(), 0, "D"), (std::vector<double>{0, 0, 0, 9, 0}));
    const auto stands = open_text(kFiveNodes + block("D", 3, " -1 1 1 2 3\n -1 2 4 5\n -1 3 1 2 3\n"));
    EXPECT_EQ(kovan_n_arrays(stands.get(), 0, &n), KOVAN_ERR_COMPONENTS);
    EXPECT_STREQ(kovan_last_error(stands.get()), "array 'D': node 2 has 2 components, expected 3");
}

TEST(StepDecoder, SixComponentStressAndStrainGetDerivedArrays) {
    const auto doc = open_text(kFiveNodes + block("stress", 6, " -1 1 1 0 0 0 0 0\n") +
                               block("MESTRAIN", 6, " -1 1 1 0 0 0 0 0\n") + block("STRESS", 3, " -1 1 1 0 0\n"));
    EXPECT_EQ(array_names(doc.get(), 0),
              (std::vector<std::string>{"stress", "stress_Mises", "stress_sgMises", "stress_PS3", "stress_PS2",
                                        "stress_PS1", "MESTRAIN", "MESTRAIN_Mises", "MESTRAIN_sgMises",
                                        "MESTRAIN_PS3", "MESTRAIN_PS2", "MESTRAIN_PS1", "STRESS"}));
    kovan_array_info info{};
    ASSERT_EQ(kovan_array_info_at(doc.get(), 0, 1, &info), KOVAN_OK);
    EXPECT_EQ(info.derived, 1u);
    EXPECT_EQ(info.n_components, 1u);
    EXPECT_EQ(info.n_tuples, 5u);
}

TEST(StepDecoder, ADerivedNameFromTheFileIsFoundAfterTheComputedOne) {
    const auto doc = open_text(kFiveNodes + block("STRESS", 6, " -1 1 1 0 0 0 0 0\n") +
                               block("STRESS_Mises", 1, " -1 1 42\n"));
    const auto names = array_names(doc.get(), 0);
    ASSERT_EQ(names.size(), 7u);
    EXPECT_EQ(names[6], "STRESS_Mises");
    EXPECT_EQ(kovan_find_array(doc.get(), 0, "STRESS_Mises"), 1);
}

std::string binary_block(int format, int components, const std::string& payload) {
    std::string text = "  100CL  101 1.00000E+00           2                     0    1           " +
                       std::to_string(format) + "\n -4  DISP        " + std::to_string(components) + "    1\n";
    for (int c = 0; c < components; ++c) text += " -5  D" + std::to_string(c + 1) + "          1    2    1    0\n";
    return text + payload;
}

TEST(StepDecoder, BinaryRecordsOfBothWidths) {
    std::string singles;
    put_i32(singles, 2);
    put_f32(singles, 0.1f);
    put_i32(singles, 5);
    put_f32(singles, -2.0f);
    const auto single = open_text(kFiveNodes + binary_block(2, 1, singles) + " -3\n");
    EXPECT_EQ(array_values(single.get(), 0, "DISP"), (std::vector<double>{0, double(0.1f), 0, 0, -2.0}));

    std::string doubles;
    put_i32(doubles, 1);
    put_f64(doubles, 0.1);
    put_f64(doubles, 1e300);
    put_i32(doubles, 3);
    put_f64(doubles, NAN);
    put_f64(doubles, -HUGE_VAL);
    const auto twice = open_text(kFiveNodes + binary_block(3, 2, doubles) + " -3\n");
    const auto values = array_values(twice.get(), 0, "DISP");
    ASSERT_EQ(values.size(), 10u);
    EXPECT_EQ(values[0], 0.1);
    EXPECT_EQ(values[1], 1e300);
    EXPECT_TRUE(std::isnan(values[4]));
    EXPECT_EQ(values[5], -HUGE_VAL);
}

}  // namespace

#include "results/decoded_block.h"
#include "results/materialise.h"
#include "results/step_slot.h"

namespace {

TEST(BlockDecoder, BinaryRangeHoldingPartOfARecordYieldsTheWholeOnes) {
    std::string text = "xx";
    for (int32_t node : {7, 8, 9}) {
        put_i32(text, node);
        put_f64(text, node * 1.5);
    }
    kovan::LineCursor records = kovan::make_cursor(std::string_view(text).substr(0, 2 + 12 * 2 + 6));  // two and a half
    records.position = 2;
    kovan::DecodedBlock block;
    kovan::decode_block(records, kovan::RecordsForm{3, 1, 10}, text.size(), block);
    EXPECT_EQ(block.node_ids, (std::vector<int64_t>{7, 8}));
}

TEST(BlockDecoder, AsciiReadingStopsAtTheEndOfTheRange) {
    const std::string text = " -1 1 1.0\n -1 2 2.0\n -1 3 3.0\n";
    kovan::LineCursor records = kovan::make_cursor(std::string_view(text).substr(0, 20));
    kovan::DecodedBlock block;
    kovan::decode_block(records, kovan::RecordsForm{1, 0, 10}, text.size(), block);
    EXPECT_EQ(block.node_ids, (std::vector<int64_t>{1, 2}));
}

// A step let go is decoded again when asked for, counted once, into the
// memory it gave back.
TEST(Materialise, AReleasedStepIsDecodedAgainIntoItsOwnMemory) {
    auto doc = parse_text(kFiveNodes + block("DISP", 1, " -1 1 4.0\n"));
    kovan_status status = KOVAN_OK;
    const double* first = nullptr;
    {
        const auto results = kovan::materialise(*doc, 0, status);
        ASSERT_NE(results, nullptr);
        first = results->arrays[0].values.data();
    }
    EXPECT_EQ(doc->steps_parsed.load(), 1u);
    kovan::release_step(*doc, 0);
    EXPECT_EQ(doc->step_slots[0]->results, nullptr);
    const auto again = kovan::materialise(*doc, 0, status);
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->arrays.size(), 1u);
    EXPECT_EQ(again->arrays[0].values[0], 4.0);
    EXPECT_EQ(again->arrays[0].values.data(), first);
    EXPECT_EQ(doc->steps_parsed.load(), 1u);
    EXPECT_EQ(kovan::materialise(*doc, 1, status), nullptr);  // out of range: nothing counted
    EXPECT_EQ(doc->steps_parsed.load(), 1u);
}

}  // namespace
