#include "blocks/serialiser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace kovan;

namespace {

// A header line made here states its format code in its last character.
void stamp_at_end(Block& block) {
    block.format_restampable = true;
    block.format_field_at = block.lines[0].find_last_not_of("\r\n");
}

Block node_block(uint32_t format) {
    Block block;
    block.kind = BlockKey::kNodes;
    block.format = format;
    block.lines = {"    2C                             1                                     " + std::to_string(format) +
                   "\n"};
    stamp_at_end(block);
    block.nodes = {{7, 1234.5678, -0.5, 0.0}};
    block.entries = {{0}};
    if (format < 2) block.end_line = " -3\n";
    return block;
}

std::string write(const Block& block, int32_t target, const std::string& terminator = "\n") {
    BlockDocument document;
    document.blocks = {block};
    document.line_terminator = terminator;
    return std::string(serialise(document, target).view());
}

TEST(Serialiser, EmptyDocumentIsEmpty) { EXPECT_EQ(serialise(BlockDocument{}, 2).view(), ""); }

TEST(Serialiser, AsciiNodeRecordsInBothWidths) {
    EXPECT_EQ(write(node_block(1), -1),
              "    2C                             1                                     1\n"
              " -1         7 1.23457E+03-5.00000E-01 0.00000E+00\n -3\n");
    EXPECT_EQ(write(node_block(1), 0, "\r\n"),
              "    2C                             1                                     0\n"
              " -1    7 1.23457E+03-5.00000E-01 0.00000E+00\r\n -3\n");
}

TEST(Serialiser, KeepModeUsesTheWidthsAndNotationRead) {
    Block block = node_block(1);
    block.id_width = 8;
    block.zero_point = true;
    EXPECT_EQ(write(block, 1), "    2C                             1                                     1\n"
                               " -1       7 0.12346E+04-0.50000E+00 0.00000E+00\n -3\n");
    EXPECT_EQ(write(block, 0), "    2C                             1                                     0\n"
                               " -1    7 1.23457E+03-5.00000E-01 0.00000E+00\n -3\n");  // converted: standard
}

TEST(Serialiser, BinaryNodeRecordsAndTheEndLine) {
    const std::string single = write(node_block(1), 2);
    const std::string header = "    2C                             1                                     2\n";
    ASSERT_EQ(single.size(), header.size() + 16);  // no " -3" line, no terminator
    int32_t id;
    float x;
    std::memcpy(&id, single.data() + header.size(), 4);
    std::memcpy(&x, single.data() + header.size() + 4, 4);
    EXPECT_EQ(id, 7);
    EXPECT_EQ(x, 1234.5678f);
    Block binary = node_block(3);
    EXPECT_EQ(write(binary, 3).size(), header.size() + 28);
    EXPECT_EQ(write(binary, 1, "\r\n"), "    2C                             1                                     1\n"
                                        " -1         7 1.23457E+03-5.00000E-01 0.00000E+00\r\n -3\r\n");
    binary.nodes[0].x = 1e300;
    float far;
    std::memcpy(&far, write(binary, 2).data() + header.size() + 4, 4);
    EXPECT_TRUE(std::isinf(far));
}

Block element_block(uint32_t format, int nodes) {
    Block block;
    block.kind = BlockKey::kElements;
    block.format = format;
    block.lines = {"    3C                             1                                     1\n"};
    stamp_at_end(block);
    ElementRecord element{5, 4, 0, 1, {}};
    for (int n = 1; n <= nodes; ++n) element.node_ids.push_back(n);
    block.elements = {element};
    block.entries = {{0}};
    block.end_line = " -3\n";
    return block;
}

TEST(Serialiser, ElementNodeListsWrapByWidth) {
    EXPECT_EQ(write(element_block(1, 20), 0),
              "    3C                             1                                     0\n"
              " -1    5    4    0    1\n"
              " -2    1    2    3    4    5    6    7    8    9   10   11   12   13   14   15\n"
              " -2   16   17   18   19   20\n -3\n");
    EXPECT_EQ(write(element_block(1, 20), 1),
              "    3C                             1                                     1\n"
              " -1         5    4    0    1\n"
              " -2         1         2         3         4         5         6         7         8         9        10\n"
              " -2        11        12        13        14        15        16        17        18        19        20\n"
              " -3\n");
    EXPECT_EQ(write(element_block(1, 0), 1), "    3C                             1                                     1\n"
                                             " -1         5    4    0    1\n -3\n");
}

TEST(Serialiser, ResultValuesGoSixToALine) {
    Block block;
    block.kind = BlockKey::kResults;
    block.format = 1;
    block.lines = {"  100CL  101 1.00000E+00           1                     0    1           1\n",
                   " -4  S            7    1\n"};
    stamp_at_end(block);
    block.results = {{3, 0, 7}, {4, 7, 0}};
    block.result_values = {1, 2, 3, 4, 5, 6, 7};
    block.entries = {{0}, {-1}, {1}};
    block.raw_lines = {"raw line\n"};
    block.end_line = " -3\n";
    EXPECT_EQ(write(block, 0),
              "  100CL  101 1.00000E+00           1                     0    1           0\n"
              " -4  S            7    1\n"
              " -1    3 1.00000E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n"
              " -2      7.00000E+00\n"
              "raw line\n"
              " -1    4\n -3\n");
}

TEST(Serialiser, TextBlocksAndUnstampableHeadersStayAsTheyAre) {
    Block text;
    text.lines = {"    1C\n", "    1UPGM  kovan\r\n", " 9999"};
    Block nodes = node_block(1);
    nodes.lines[0] = "    2C 1\n";
    BlockDocument document;
    document.blocks = {text, nodes};
    EXPECT_EQ(serialise(document, 0).view(), "    1C\n    1UPGM  kovan\r\n 9999    2C 1\n"
                                      " -1    7 1.23457E+03-5.00000E-01 0.00000E+00\n -3\n");
}

}  // namespace
