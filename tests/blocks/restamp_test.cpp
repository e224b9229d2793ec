#include "blocks/restamp.h"

#include <gtest/gtest.h>

using namespace kovan;

namespace {

TEST(Restamp, ChangesTheFormatDigitAndNothingElse) {
    const std::string header = "    2C                            12                                     1\r\n";
    const std::string stamped = restamp(header, BlockKey::kNodes, 2);
    EXPECT_EQ(stamped, "    2C                            12                                     2\r\n");
    EXPECT_EQ(restamp("  100CL  101 1.00000E+00          12                     0    1           1 \t\n",
                      BlockKey::kResults, 3),
              "  100CL  101 1.00000E+00          12                     0    1           3 \t\n");
}

TEST(Restamp, LeavesHeadersWithoutARewritableFormatAlone) {
    for (const char* header : {"    2C                             4\n",  // two fields: 4 is the count
                               "    2C 4 01\n", "    2C 4 +1\n", "    2C 4 7\n", "    2C 4 x\n", "", "\n"}) {
        EXPECT_EQ(restamp(header, BlockKey::kNodes, 2), header) << header;
        EXPECT_FALSE(can_restamp(header, BlockKey::kNodes)) << header;
    }
    EXPECT_TRUE(can_restamp("    3C 4 0", BlockKey::kElements));
    // A result header states its format in its fifth field or later: in
    // four fields the last one is the node count.
    EXPECT_FALSE(can_restamp("  100CL 101 1.0 2\n", BlockKey::kResults));
    EXPECT_EQ(restamp("  100CL 101 1.0 2\n", BlockKey::kResults, 1), "  100CL 101 1.0 2\n");
}

}  // namespace
