// Counts and sizes near 2^63 and 2^64: a status, no absurd allocation, no
// arithmetic that wraps around.
#include <gtest/gtest.h>

#include <string>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

TEST(HostileSizes, OpenMemorySizes) {
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_memory("x", UINT64_MAX, nullptr, &doc), KOVAN_ERR_NOMEM);
    EXPECT_EQ(kovan_open_memory("x", uint64_t{1} << 63, nullptr, &doc), KOVAN_ERR_NOMEM);
    EXPECT_EQ(doc, nullptr);
    char* out = nullptr;
    uint64_t size = 0;
    EXPECT_EQ(kovan_rewrite_memory("x", UINT64_MAX, 1, &out, &size), KOVAN_ERR_NOMEM);
    EXPECT_EQ(out, nullptr);
}

TEST(HostileSizes, HeaderCountsNearTheTopOfSixtyFourBits) {
    for (const char* count : {"9223372036854775807", "4611686018427387904", "1152921504606846976"}) {
        SCOPED_TRACE(count);
        const std::string n(count);
        for (const std::string& header : {"    2C " + n + " 3\n", "    3C " + n + " 2\n"}) {
            // The text cannot hold such a block: it is cut off, with nothing read.
            const auto cut = open_text(header);
            EXPECT_EQ(kovan_n_diagnostics(cut.get()), 1u);
            char* out = nullptr;
            uint64_t size = 0;
            EXPECT_EQ(kovan_rewrite_memory(header.data(), header.size(), 1, &out, &size), KOVAN_ERR_PARSE);
        }
        // A result block with such a count is not located; the reader of blocks refuses it.
        const std::string result = "  100CL  101 1.00000E+00 " + n + " 0 1 3\n -4  DISP 1 1\n -5  D1 1 2 1 0\n";
        const auto doc = open_text(result);
        EXPECT_EQ(kovan_n_steps(doc.get()), 1u);
        char* out = nullptr;
        uint64_t size = 0;
        EXPECT_EQ(kovan_rewrite_memory(result.data(), result.size(), 1, &out, &size), KOVAN_ERR_PARSE);
        // ASCII headers with such counts reserve only what the text can hold.
        const std::string ascii = "    2C " + n + " 1\n -1 1 1.0 2.0 3.0\n -3\n    3C " + n + " 1\n -3\n";
        EXPECT_EQ(kovan_n_points(open_text(ascii).get()), 1u);
    }
}

TEST(HostileSizes, ComponentCountsThatWouldOverflowARecordSize) {
    const std::string result = "  100CL  101 1.00000E+00           1 0 1 2\n -4  DISP 4611686018427387904 1\n";
    const auto doc = open_text(result);
    EXPECT_EQ(kovan_n_steps(doc.get()), 1u);
}

TEST(HostileSizes, WriterCounts) {
    kovan_writer* writer = kovan_writer_new(1);
    const double point[3] = {0, 0, 0};
    const int64_t id[1] = {1};
    EXPECT_EQ(kovan_writer_set_nodes(writer, uint64_t{1} << 62, nullptr, point), KOVAN_ERR_NOMEM);
    EXPECT_EQ(kovan_writer_set_nodes(writer, UINT64_MAX, id, point), KOVAN_ERR_NOMEM);
    const uint8_t type[1] = {1};
    const int64_t offsets[2] = {0, 8};
    EXPECT_EQ(kovan_writer_set_cells(writer, uint64_t{1} << 61, type, offsets, offsets, nullptr, 0), KOVAN_ERR_NOMEM);
    ASSERT_EQ(kovan_writer_set_nodes(writer, 1, nullptr, point), KOVAN_OK);
    ASSERT_EQ(kovan_writer_begin_step(writer, 1, 0.0), KOVAN_OK);
    EXPECT_EQ(kovan_writer_add_array(writer, "A", UINT32_MAX, nullptr, 0, point), KOVAN_ERR_NOMEM);
    const std::string file = finished_file(writer);
    EXPECT_NE(file.find("    2C                             1"), std::string::npos);
    kovan_writer_free(writer);
}

}  // namespace
