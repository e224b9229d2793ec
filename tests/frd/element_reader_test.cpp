#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "frd/element_table.h"
#include "support/frd_text.h"

using namespace kovan_test;

namespace {

// Nodes 1..n on a line, so that every element below can name them.
std::string node_block(int n) {
    std::string text = "    2C\n";
    for (int i = 1; i <= n; ++i) text += " -1 " + std::to_string(i) + " " + std::to_string(i) + ".0 0.0 0.0\n";
    return text + " -3\n";
}

std::string long_node_list(int first, int last) {
    std::string line = " -2";
    for (int i = first; i <= last; ++i) {
        const std::string number = std::to_string(i);
        line += std::string(10 - number.size(), ' ') + number;
    }
    return line + "\n";
}

std::vector<int64_t> iota_list(int64_t first, int64_t last) {
    std::vector<int64_t> v(static_cast<size_t>(last - first + 1));
    std::iota(v.begin(), v.end(), first);
    return v;
}

TEST(ElementTable, TwentyNodeHexahedronListsTopEdgesBeforeVerticalOnes) {
    const auto doc = open_text(node_block(20) + "    3C 1 1\n -1 1 4 0 1\n" + long_node_list(1, 10) +
                               long_node_list(11, 20) + " -3\n");
    ASSERT_EQ(kovan_n_cells(doc.get()), 1u);
    EXPECT_EQ(kovan_cell_types(doc.get())[0], 25);
    std::vector<int64_t> expected = iota_list(1, 12);
    for (int64_t n : iota_list(17, 20)) expected.push_back(n);
    for (int64_t n : iota_list(13, 16)) expected.push_back(n);
    EXPECT_EQ(cell_node_ids(doc.get(), 0), expected);
}

TEST(ElementTable, WedgeOrderTurnsBothWedgesAndNothingElse) {
    const std::string text = node_block(15) + "    3C 3 1\n -1 1 2 0 1\n" + long_node_list(1, 6) +
                             " -1 2 5 0 1\n" + long_node_list(1, 10) + long_node_list(11, 15) +
                             " -1 3 1 0 1\n" + long_node_list(1, 8) + " -3\n";
    const auto frd_order = open_text(text, 0);
    EXPECT_EQ(cell_node_ids(frd_order.get(), 0), iota_list(1, 6));
    EXPECT_EQ(cell_node_ids(frd_order.get(), 1),
              (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 14, 15, 10, 11, 12}));
    const auto turned = open_text(text, 1);
    EXPECT_EQ(cell_node_ids(turned.get(), 0), (std::vector<int64_t>{1, 3, 2, 4, 6, 5}));
    EXPECT_EQ(cell_node_ids(turned.get(), 1),
              (std::vector<int64_t>{1, 3, 2, 4, 6, 5, 9, 8, 7, 15, 14, 13, 10, 12, 11}));
    EXPECT_EQ(cell_node_ids(turned.get(), 2), iota_list(1, 8));
}

TEST(ElementTable, CodesThirteenAndFourteenAreUnknown) {
    EXPECT_EQ(kovan::element_type_for_code(13), nullptr);
    EXPECT_EQ(kovan::element_type_for_code(14), nullptr);
    EXPECT_EQ(kovan::element_type_for_code(0), nullptr);
    EXPECT_EQ(kovan::element_type_for_code(16)->vtk_type, 27);
}

TEST(AsciiElementBlock, SurplusNodesAreCutWithAKindZeroDiagnostic) {
    const auto doc = open_text(node_block(21) + "    3C 1 1\n -1 7 4 0 1\n" + long_node_list(1, 10) +
                               long_node_list(11, 21) + " -3\n");
    ASSERT_EQ(kovan_n_cells(doc.get()), 1u);
    EXPECT_EQ(kovan_cell_ids(doc.get())[0], 7);
    const auto d = diagnostics_of(doc.get());
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].kind, KOVAN_DIAG_SURPLUS_NODES);
    EXPECT_EQ(d[0].element_type, 4);
    EXPECT_EQ(d[0].line, 25);  // the element's "-1" line
    EXPECT_EQ(d[0].expected, 20);
    EXPECT_EQ(d[0].found, 21);
}

TEST(AsciiElementBlock, ElementCutShortIsDroppedWithAKindOneDiagnostic) {
    const auto doc = open_text(node_block(8) + "    3C 3 1\n -1 1 1 0 1\n -1 2 1 0 1\n" + long_node_list(1, 5) +
                               " -3\n");
    EXPECT_EQ(kovan_n_cells(doc.get()), 0u);
    const auto d = diagnostics_of(doc.get());
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].kind, KOVAN_DIAG_MISSING_NODES);
    EXPECT_EQ(d[0].line, 12);
    EXPECT_EQ(d[0].expected, 8);
    EXPECT_EQ(d[0].found, 0);
    EXPECT_EQ(d[1].kind, KOVAN_DIAG_MISSING_NODES);  // pending when " -3" came
    EXPECT_EQ(d[1].line, 13);
    EXPECT_EQ(d[1].found, 5);
    // An element still pending when the text ends is no element cut short:
    // the block is reported as cut off instead.
    const auto cut = open_text(node_block(8) + "    3C 1 1\n -1 3 1 0 1\n -2 1 2");
    EXPECT_EQ(kovan_n_cells(cut.get()), 0u);
    ASSERT_EQ(kovan_n_diagnostics(cut.get()), 1u);
    EXPECT_EQ(diagnostics_of(cut.get())[0].kind, KOVAN_DIAG_INCOMPLETE_BLOCK);
}

TEST(AsciiElementBlock, UnknownTypeIsDroppedWithAKindTwoDiagnostic) {
    const auto doc = open_text(node_block(4) + "    3C 2 1\n -1 1 13 0 1\n -2 1 2 3 4\n -1 2 3 0 1\n" +
                               long_node_list(1, 4) + " -3\n");
    ASSERT_EQ(kovan_n_cells(doc.get()), 1u);
    EXPECT_EQ(kovan_cell_ids(doc.get())[0], 2);
    const auto d = diagnostics_of(doc.get());
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].kind, KOVAN_DIAG_UNKNOWN_TYPE);
    EXPECT_EQ(d[0].element_type, 13);
    EXPECT_EQ(d[0].line, 8);
    EXPECT_EQ(d[0].expected, -1);
    EXPECT_EQ(d[0].found, -1);
}

TEST(AsciiElementBlock, ElementNamingAMissingNodeIsDroppedSilently) {
    const auto doc = open_text(node_block(4) + "    3C 3 1\n -1 10 11 0 1\n" + long_node_list(1, 2) +
                               " -1 11 11 0 1\n" + " -2         3        99\n -1 12 3 0 1\n" +
                               long_node_list(1, 4) + " -3\n");
    EXPECT_EQ(kovan_n_diagnostics(doc.get()), 0u);
    ASSERT_EQ(kovan_n_cells(doc.get()), 2u);
    EXPECT_EQ(kovan_cell_ids(doc.get())[0], 10);
    EXPECT_EQ(kovan_cell_ids(doc.get())[1], 12);
    EXPECT_EQ(kovan_cell_types(doc.get())[1], 10);
    const int64_t* offsets = kovan_cell_offsets(doc.get());
    EXPECT_EQ(std::vector<int64_t>(offsets, offsets + 3), (std::vector<int64_t>{0, 2, 6}));
    EXPECT_EQ(cell_node_ids(doc.get(), 1), iota_list(1, 4));
}

TEST(AsciiElementBlock, LongHeaderKeepsTenColumnFieldsForShortLines) {
    // A 4-node element's long line is 40 characters: shorter than the
    // first-line rule's 50, yet its fields are 10 wide.
    const auto doc = open_text(
        "    2C 4 1\n -1    100001 0.0 0.0 0.0\n -1    100038 1.0 0.0 0.0\n"
        " -1    100075 0.0 1.0 0.0\n -1    100112 0.0 0.0 1.0\n -3\n"
        "    3C                             1                                     1\n"
        " -1         1    3    0    1\n"
        " -2    100001    100038    100075    100112\n -3\n");
    ASSERT_EQ(kovan_n_cells(doc.get()), 1u);
    EXPECT_EQ(cell_node_ids(doc.get(), 0), (std::vector<int64_t>{100001, 100038, 100075, 100112}));
}

TEST(AsciiElementBlock, FirstElementLineGivesTheWidthWhenTheHeaderStatesNoFormat) {
    // The post-processor's short blocks: no count, 15 touching 5-digit numbers.
    std::string text = "    2C\n";
    for (int i = 10001; i <= 10020; ++i) text += " -1" + std::to_string(i) + " 0.0 0.0 0.0\n";
    text += " -3\n    3C                                                                   0\n -1    1    4    0    1\n -2";
    for (int i = 10001; i <= 10015; ++i) text += std::to_string(i);
    text += "\n -2";
    for (int i = 10016; i <= 10020; ++i) text += std::to_string(i);
    text += "\n -3\n";
    const auto doc = open_text(text);
    ASSERT_EQ(kovan_n_cells(doc.get()), 1u);
    EXPECT_EQ(kovan_n_diagnostics(doc.get()), 0u);
    const auto nodes = cell_node_ids(doc.get(), 0);
    EXPECT_EQ(nodes[0], 10001);
    EXPECT_EQ(nodes[12], 10017);
}

TEST(AsciiElementBlock, DocumentWideFirstLineRuleDecidesWhenNothingElseDoes) {
    // No format in the header and a 2-character id field: the first "-2"
    // line, 60 characters long, decides 10 for this and later blocks.
    // The second block's line alone would pick 5 and cut its 6-digit numbers.
    std::string text = node_block(8) + "    2C\n -1 100001 0 0 0\n -1 100002 1 0 0\n -3\n";
    text += "    3C\n -1 1 10 0 1\n" + long_node_list(1, 6) + long_node_list(7, 8) + " -3\n";
    text += "    3C\n -1 2 11 0 1\n" + long_node_list(100001, 100002) + " -3\n";
    const auto doc = open_text(text);
    ASSERT_EQ(kovan_n_cells(doc.get()), 2u);
    EXPECT_EQ(cell_node_ids(doc.get(), 0), iota_list(1, 8));
    EXPECT_EQ(cell_node_ids(doc.get(), 1), (std::vector<int64_t>{100001, 100002}));
}

TEST(AsciiElementBlock, FieldThatDoesNotParseFallsBackToTokens) {
    const auto doc = open_text(node_block(4) + "    3C 1 0\n -1    1    3    0    1\n -2 1 2 x 3 4\n -3\n");
    ASSERT_EQ(kovan_n_cells(doc.get()), 1u);
    EXPECT_EQ(cell_node_ids(doc.get(), 0), iota_list(1, 4));  // "x" is dropped
}

std::string binary_element_header(int64_t count) {
    return "    3C                             " + std::to_string(count) + "                                     2\n";
}

TEST(BinaryElementBlock, RecordsAreReadInVtkOrder) {
    std::string text = node_block(20) + binary_element_header(2);
    for (int32_t v : {5, 4, 0, 1}) put_i32(text, v);
    for (int32_t n = 1; n <= 20; ++n) put_i32(text, n);
    for (int32_t v : {6, 11, 0, 1, 19, 20}) put_i32(text, v);
    text += "\r\n 9999\n";
    const auto doc = open_text(text);
    ASSERT_EQ(kovan_n_cells(doc.get()), 2u);
    EXPECT_EQ(cell_node_ids(doc.get(), 0)[12], 17);
    EXPECT_EQ(cell_node_ids(doc.get(), 1), (std::vector<int64_t>{19, 20}));
    EXPECT_EQ(kovan_cell_types(doc.get())[1], 3);
}

TEST(BinaryElementBlock, CountZeroReadsNothing) {
    const auto doc = open_text(node_block(1) + binary_element_header(0) + " 9999\n");
    EXPECT_EQ(kovan_n_cells(doc.get()), 0u);
    EXPECT_EQ(kovan_cell_offsets(doc.get())[0], 0);
}

std::string element_failure(const std::string& text) {
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_memory(text.data(), text.size(), nullptr, &doc), KOVAN_ERR_PARSE);
    return kovan_last_error(nullptr);
}

TEST(BinaryElementBlock, UnknownTypeOrNoCountFailTheParse) {
    std::string unknown = binary_element_header(1);
    for (int32_t v : {1, 13, 0, 1}) put_i32(unknown, v);
    EXPECT_EQ(element_failure(unknown),
              "unreadable binary element block: the header declares 1 elements, and one of them names element type "
              "13, whose node count is unknown, so the records after it cannot be located");
    EXPECT_NE(element_failure(binary_element_header(-1)).find("declares -1 elements"), std::string::npos);
}

TEST(BinaryElementBlock, RecordsTheTextDoesNotHoldAreACutOffBlock) {
    std::string text = node_block(8) + binary_element_header(3);
    for (int32_t v : {7, 1, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8}) put_i32(text, v);
    for (int32_t v : {8, 1, 0, 1, 1, 2}) put_i32(text, v);  // cut inside its node numbers
    const auto doc = open_text(text);
    EXPECT_EQ(kovan_n_cells(doc.get()), 1u);
    const auto d = diagnostics_of(doc.get());
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].kind, KOVAN_DIAG_INCOMPLETE_BLOCK);
    EXPECT_EQ(d[0].expected, 3);
    EXPECT_EQ(d[0].found, 1);
    EXPECT_EQ(diagnostics_of(open_text(binary_element_header(INT64_MAX)).get())[0].expected, INT64_MAX);
}

}  // namespace
