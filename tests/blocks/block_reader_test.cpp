#include "blocks/block_reader.h"

#include <gtest/gtest.h>

#include "support/frd_text.h"

using namespace kovan;
using kovan_test::put_f32;
using kovan_test::put_i32;

namespace {

// Read as for a conversion to binary double precision, so that ASCII
// records are taken as they read.
BlockDocument read_ok(const std::string& text) {
    BlockReadResult result = read_blocks(text, 3);
    EXPECT_TRUE(result.ok) << result.error;
    return std::move(result.document);
}

std::string read_error(const std::string& text) {
    const BlockReadResult result = read_blocks(text, 3);
    EXPECT_FALSE(result.ok);
    return result.error;
}

TEST(BlockReader, EmptyInputAndTerminators) {
    const BlockDocument empty = read_ok("");
    EXPECT_TRUE(empty.blocks.empty());
    EXPECT_EQ(empty.line_terminator, "\n");
    EXPECT_EQ(read_ok("    1C\r\n    1U\n").line_terminator, "\r\n");
    EXPECT_EQ(read_ok("    1C").line_terminator, "\n");
    EXPECT_EQ(read_ok("    1C\r    1U\n").line_terminator, "\r");
}

TEST(BlockReader, TextLinesBetweenBlocksFormTextBlocks) {
    const BlockDocument doc = read_ok("    1C\n    1UPGM x\n    2C 1 1\n -1 1 1.0 2.0 3.0\n -3\n 9999\n");
    ASSERT_EQ(doc.blocks.size(), 3u);
    EXPECT_EQ(doc.blocks[0].kind, BlockKey::kNone);
    EXPECT_EQ(doc.blocks[0].lines.size(), 2u);
    EXPECT_EQ(doc.blocks[1].kind, BlockKey::kNodes);
    EXPECT_EQ(doc.blocks[1].end_line, " -3\n");
    EXPECT_EQ(doc.blocks[2].lines, (std::vector<std::string>{" 9999\n"}));
}

TEST(BlockReader, HeaderFormatAndCount) {
    const Block two_fields = read_ok("    2C 12\n -3\n").blocks[0];
    EXPECT_EQ(two_fields.format, 1u);
    EXPECT_EQ(two_fields.stated_count, 12);
    const Block stated = read_ok("    3C 4 0\n -3\n").blocks[0];
    EXPECT_EQ(stated.format, 0u);
    EXPECT_EQ(stated.stated_count, 4);
    // The post-processor runs the set number into the time; the count is in its columns.
    const Block result = read_ok("  100CL  1011.00000e+00          8                      0 1              0\n -3\n").blocks[0];
    EXPECT_EQ(result.stated_count, 8);
    EXPECT_EQ(result.format, 0u);
}

TEST(BlockReader, NodeLinesBecomeRecordsOrStayRaw) {
    const Block block = read_ok("    2C 3 1\n"
                                " -1       7 0.12346E+04-1.00000E+00-2.00000E+00\n"
                                " -1       8 x 1.0 2.0\n"
                                " -1         41.00000E+0002.00000E+000-3.00000E+000\n"
                                " -2 junk\n -3\n")
                            .blocks[0];
    ASSERT_EQ(block.nodes.size(), 2u);
    EXPECT_EQ(block.id_width, 8u);
    EXPECT_TRUE(block.zero_point);
    EXPECT_EQ(block.nodes[0].x, 1234.6);
    EXPECT_EQ(block.nodes[1].id, 4);
    EXPECT_EQ(block.nodes[1].z, -3.0);
    ASSERT_EQ(block.entries.size(), 4u);
    EXPECT_EQ(block.entries[1].index, -1);
    EXPECT_EQ(raw_text(block, block.entries[1]), " -1       8 x 1.0 2.0\n");
    EXPECT_EQ(block.entries[2].index, 1);
    EXPECT_EQ(raw_text(block, block.entries[3]), " -2 junk\n");
}

TEST(BlockReader, ElementContinuationsJoinTheirElement) {
    const Block block = read_ok("    3C 2 1\n"
                                " -1         1    1    0    1\n"
                                " -2         1         2         3         4\n"
                                " -2         5         6         7         8\n"
                                " -1         x\n"
                                " -2         9\n"  // belongs to the unreadable line: stays raw
                                " -3\n")
                            .blocks[0];
    ASSERT_EQ(block.elements.size(), 1u);
    EXPECT_EQ(block.elements[0].node_ids, (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(block.id_width, 10u);
    EXPECT_EQ(block.node_id_width, 10u);
    ASSERT_EQ(block.entries.size(), 3u);
    EXPECT_EQ(raw_text(block, block.entries[1]), " -1         x\n");
    EXPECT_EQ(raw_text(block, block.entries[2]), " -2         9\n");
}

TEST(BlockReader, ElementWidthComesFromTheBlockBeforeTheFirstLineRule) {
    // The post-processor's short block: no count, 15 touching 5-digit numbers.
    std::string text = "    3C                                                                   0\n -1    1    4    0    1\n -2";
    for (int i = 10001; i <= 10015; ++i) text += std::to_string(i);
    text += "\n -2";
    for (int i = 10016; i <= 10020; ++i) text += std::to_string(i);
    text += "\n -3\n";
    const Block block = read_ok(text).blocks[0];
    ASSERT_EQ(block.elements.size(), 1u);
    EXPECT_EQ(block.elements[0].node_ids.size(), 20u);
    EXPECT_EQ(block.elements[0].node_ids[14], 10015);
    EXPECT_EQ(block.node_id_width, 5u);
}

TEST(BlockReader, ResultRecordsWithContinuationsAndRawOnes) {
    const Block block = read_ok("  100CL  101 1.00000E+00           2                     0    1           1\n"
                                " -4  S            7    1\n -5  S1          1    1    1    0\n"
                                " -1         1 1.0 2.0 3.0 4.0 5.0 6.0\n -2           7.0\n"
                                " -1         2 1.0 bad\n -2           7.0\n"
                                " -3\n")
                            .blocks[0];
    EXPECT_EQ(block.lines.size(), 3u);
    ASSERT_EQ(block.results.size(), 1u);
    EXPECT_EQ(block.results[0].count, 7u);
    EXPECT_EQ(block.result_values.size(), 7u);  // the unreadable record left no values behind
    ASSERT_EQ(block.entries.size(), 3u);
    EXPECT_EQ(raw_text(block, block.entries[1]), " -1         2 1.0 bad\n");
    EXPECT_EQ(raw_text(block, block.entries[2]), " -2           7.0\n");
}

TEST(BlockReader, AsciiBlockWithoutEndLineTakesTheRest) {
    const Block block = read_ok("    2C 1 1\n -1 1 1.0 2.0 3.0\n    3C 1 1\n 9999\n").blocks[0];
    EXPECT_EQ(block.end_line, "");
    ASSERT_EQ(block.entries.size(), 3u);
    EXPECT_EQ(raw_text(block, block.entries[1]), "    3C 1 1\n");
}

std::string binary_disp(int32_t first_node) {
    std::string text = "  100CL  101 1.00000E+00           1                     0    1           2\n"
                       " -4  DISP        4    1\n"
                       " -5  D1          1    2    1    0\n -5  D2          1    2    2    0\n"
                       " -5  D3          1    2    3    0\n -5  ALL         1    2    0    0    1ALL\n";
    put_i32(text, first_node);
    for (float v : {1.f, 2.f, 3.f}) put_f32(text, v);
    return text;
}

TEST(BlockReader, BinaryResultPayloadStartsAfterTheDeclaredComponentLines) {
    // Node 13613 is the bytes "-5\0\0": no header line, whatever it looks like.
    const BlockDocument doc = read_ok(binary_disp(13613) + " -3\n");
    ASSERT_EQ(doc.blocks.size(), 2u);
    const Block& block = doc.blocks[0];
    EXPECT_EQ(block.lines.size(), 6u);
    ASSERT_EQ(block.results.size(), 1u);
    EXPECT_EQ(block.results[0].node_id, 13613);
    EXPECT_EQ(std::vector<double>(values_of(block, block.results[0]), values_of(block, block.results[0]) + 3),
              (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(block.results[0].count, 3u);
    EXPECT_EQ(doc.blocks[1].lines, (std::vector<std::string>{" -3\n"}));
}

TEST(BlockReader, BinaryFailuresHaveTheirTexts) {
    // The texts the document's parse gives for the same causes.
    EXPECT_EQ(read_error("    2C                             x                                     2\n"),
              "truncated binary node block: the header declares -1 nodes in format 2, and the file does not hold "
              "that many records");
    EXPECT_EQ(read_error("    2C 2 3\n"),
              "truncated binary node block: the header declares 2 nodes in format 3, and the file does not hold "
              "that many records");
    EXPECT_EQ(read_error("    2C 4611686018427387904 2\n").rfind("truncated binary node block", 0), 0u);
    std::string element = "    3C 1 2\n";
    for (int32_t v : {1, 13, 0, 1}) put_i32(element, v);
    EXPECT_EQ(read_error(element), "unreadable binary element block: the header declares 1 elements, and one of them "
                                   "names element type 13, whose node count is unknown, so the records after it "
                                   "cannot be located");
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_memory(element.data(), element.size(), nullptr, &doc), KOVAN_ERR_PARSE);
    EXPECT_EQ(kovan_last_error(nullptr), read_error(element));
    std::string short_element = "    3C 1 2\n";
    for (int32_t v : {1, 3, 0, 1, 1}) put_i32(short_element, v);
    EXPECT_EQ(read_error(short_element),
              "unreadable binary element block: the header declares 1 elements, and the records run past the end "
              "of the file");
    EXPECT_EQ(read_error("    3C 2 2\n").rfind("unreadable binary element block", 0), 0u);
    const std::string disp = binary_disp(1);
    EXPECT_EQ(read_error(disp.substr(0, disp.size() - 4)),
              "truncated binary result block: the header declares 1 records, and the file does not hold that many");
    EXPECT_EQ(read_error("  100CL  101 1.00000E+00           1                     0    1           2\n -4  DISP\n"),
              "binary result block states no record count or no stored components");
    EXPECT_EQ(read_error("  100CL  101 1.00000E+00           1                     0    1           2\n"
                         " -4  DISP        2    1\n -5  D1          1    2    1    0\n -3\n"),
              "binary result block lists fewer component lines than its \"-4\" line declares");
    EXPECT_EQ(read_error("  100CL  101 1.00000E+00           1                     0    1           2\n"
                         " -4  DISP        2    1\n -5  D1          1    2    1    0\n")
                  .rfind("truncated binary result block", 0),
              0u);
}

}  // namespace
