#include "blocks/restamp.h"

#include <gtest/gtest.h>

#include "blocks/block_reader.h"

using namespace kovan;

namespace {

// The first block of `text` that is no text block, as the re-encoder reads it.
Block first_block(const std::string& text) {
    BlockReadResult read = read_blocks(text, -1);
    EXPECT_TRUE(read.ok) << read.error;
    for (Block& block : read.document.blocks) {
        if (block.kind != BlockKey::kNone) return std::move(block);
    }
    ADD_FAILURE() << "no block in " << text;
    return Block();
}

TEST(Restamp, ChangesTheFormatDigitAndNothingElse) {
    const std::string header = "    2C                            12                                     1\r\n";
    EXPECT_EQ(restamped_header(first_block(header), 2),
              "    2C                            12                                     2\r\n");
    EXPECT_EQ(restamped_header(first_block("  100CL  101 1.00000E+00          12                     0    1           1 \t\n"), 3),
              "  100CL  101 1.00000E+00          12                     0    1           3 \t\n");
}

TEST(Restamp, LeavesHeadersWithoutARewritableFormatAlone) {
    for (const char* header : {"    2C                             4\n",  // two fields: 4 is the count
                               "    2C 4 01\n", "    2C 4 +1\n", "    2C 4 7\n", "    2C 4 x\n"}) {
        const Block block = first_block(header);
        EXPECT_FALSE(block.format_restampable) << header;
        EXPECT_EQ(restamped_header(block, 2), header) << header;
    }
    EXPECT_TRUE(first_block("    3C 4 0\n").format_restampable);
    // A result header states its format in its fifth field or later: in
    // four fields the last one is the node count.
    EXPECT_FALSE(first_block("  100CL 101 1.0 2\n").format_restampable);
}

}  // namespace
