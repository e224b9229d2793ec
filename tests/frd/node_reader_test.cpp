#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

std::vector<double> points_of(const kovan_document* doc) {
    const double* p = kovan_points(doc);
    return std::vector<double>(p, p + 3 * kovan_n_points(doc));
}

std::vector<int64_t> ids_of(const kovan_document* doc) {
    const int64_t* ids = kovan_node_ids(doc);
    return std::vector<int64_t>(ids, ids + kovan_n_points(doc));
}

TEST(AsciiNodeBlock, NodesComeOutAscendingWithTheirPoints) {
    const auto doc = open_text(
        "    2C                             3                                     1\n"
        " -1         7 7.00000E+00 0.00000E+00 0.00000E+00\n"
        " -1         2 2.00000E+00 0.00000E+00 0.00000E+00\n"
        " -1         5 5.00000E+00 1.00000E+00-1.50000E+00\n"
        " -3\n");
    EXPECT_EQ(ids_of(doc.get()), (std::vector<int64_t>{2, 5, 7}));
    EXPECT_EQ(points_of(doc.get()), (std::vector<double>{2, 0, 0, 5, 1, -1.5, 7, 0, 0}));
}

TEST(AsciiNodeBlock, ANodeListedTwiceKeepsItsLastCoordinates) {
    const auto doc = open_text(
        "    2C\n"
        " -1         1 1.0 1.0 1.0\n"
        " -1         1 9.0 8.0 7.0\n"
        " -3\n");
    EXPECT_EQ(ids_of(doc.get()), (std::vector<int64_t>{1}));
    EXPECT_EQ(points_of(doc.get()), (std::vector<double>{9, 8, 7}));
}

// Node ids with and without gaps, in order or not, negative or not: the
// result records of a step land on the points of their nodes.
TEST(AsciiNodeBlock, ResultRecordsFindTheirPointsWhateverTheIds) {
    const std::vector<std::vector<int64_t>> orders = {{1, 2, 3, 4}, {3, 4, 5, 6}, {-2, -1, 0, 1}, {2, 9, 40, 41},
                                                      {4, 3, 2, 1}, {1, 3, 2, 4}, {-5, 7, -9, 100}};
    for (const auto& ids : orders) {
        std::string text = "    2C\n";
        for (int64_t id : ids) text += " -1 " + std::to_string(id) + " " + std::to_string(id) + ".0 0.0 0.0\n";
        text += " -3\n  100CL  101 1.00000E+00           4                     0    1           1\n"
                " -4  T        1    1\n -5  T          1    1    0    0\n";
        for (int64_t id : ids) text += " -1 " + std::to_string(id) + " " + std::to_string(id * 10) + ".0\n";
        text += " -1 12345 1.0\n -3\n";  // a node the mesh does not have
        const auto doc = open_text(text);
        const std::vector<int64_t> ascending = ids_of(doc.get());
        ASSERT_EQ(ascending.size(), 4u);
        const std::vector<double> points = points_of(doc.get());
        const std::vector<double> values = array_values(doc.get(), 0, "T");
        for (size_t p = 0; p < 4; ++p) {
            EXPECT_EQ(points[3 * p], double(ascending[p]));
            EXPECT_EQ(values[p], double(ascending[p] * 10));
        }
    }
}

TEST(AsciiNodeBlock, NegativeCoordinateTouchingTheIdReadsAsItsOwnToken) {
    const auto doc = open_text(
        "    2C                             1                                     0\n"
        " -1    1-1.00000E+00-2.50000E-01-3.00000E+02\n"
        " -3\n");
    EXPECT_EQ(points_of(doc.get()), (std::vector<double>{-1.0, -0.25, -300.0}));
}

TEST(AsciiNodeBlock, UnreadableLinesAreSkippedWithoutDiagnostic) {
    const auto doc = open_text(
        "    2C\n"
        " -1         1 1.0 2.0\n"                   // three numbers only
        " -1         2 1.0D+00 2.0 3.0\n"           // a D exponent
        " -2         3 1.0 2.0 3.0\n"               // not a node record
        " -1         4 1.0 2.0 3.0 extra fields\n"  // further fields are ignored
        " -1\n"
        " -3\n");
    EXPECT_EQ(ids_of(doc.get()), (std::vector<int64_t>{4}));
    EXPECT_EQ(kovan_n_diagnostics(doc.get()), 0u);
}

TEST(AsciiNodeBlock, WindowsThreeDigitExponentsThatTouchAreRead) {
    const auto doc = open_text(
        "    2C                             3                                     1\n"
        " -1         4-5.28012E-0033.06745E-003-7.70711E-003\n"
        " -1    1234561.23456E-0031.00000E+000-2.00000E+000\n"
        " -1         9-1.#IND0E+0001.#INF00E+000-1.#INF00E+000\n"
        " -3\n");
    ASSERT_EQ(ids_of(doc.get()), (std::vector<int64_t>{4, 9, 123456}));
    const auto p = points_of(doc.get());
    EXPECT_EQ(std::vector<double>(p.begin(), p.begin() + 3), (std::vector<double>{-5.28012E-003, 3.06745E-003, -7.70711E-003}));
    EXPECT_TRUE(std::isnan(p[3]));
    EXPECT_EQ(p[4], HUGE_VAL);
    EXPECT_EQ(p[5], -HUGE_VAL);
    EXPECT_EQ(std::vector<double>(p.begin() + 6, p.end()), (std::vector<double>{1.23456E-003, 1.0, -2.0}));
}

TEST(AsciiNodeBlock, GluedShortLinesReadWithOrWithoutAStatedFormat) {
    const char* line = " -1    41.00000E+0012.00000E+001-3.00000E+001\n -3\n";
    for (const std::string header : {"    2C 1 0\n", "    2C\n"}) {
        const auto doc = open_text(header + line);
        ASSERT_EQ(ids_of(doc.get()), (std::vector<int64_t>{4})) << header;
        EXPECT_EQ(points_of(doc.get()), (std::vector<double>{10, 20, -30}));
    }
}

TEST(AsciiNodeBlock, BlockWithoutEndLineRunsToTheEndOfTheText) {
    const auto doc = open_text("    2C\n -1 1 1.0 2.0 3.0\n -1 2 1.0 2.0 3.0\n");
    EXPECT_EQ(kovan_n_points(doc.get()), 2u);
}

std::string binary_node_header(int64_t count, int format) {
    return "    2C" + std::string(24, ' ') + std::to_string(count) + std::string(37, ' ') + std::to_string(format) + "\n";
}

TEST(BinaryNodeBlock, DoubleRecordsAreTwentyEightBytes) {
    std::string text = binary_node_header(2, 3);
    put_i32(text, 20);
    for (double v : {0.1, 0.2, 0.3}) put_f64(text, v);
    put_i32(text, 10);
    for (double v : {-1.0, -2.0, 1e300}) put_f64(text, v);
    const size_t payload_end = text.size();
    text += "\n    3C                             0                                     2\n";
    ASSERT_EQ(payload_end - binary_node_header(2, 3).size(), 56u);
    const auto doc = open_text(text);
    EXPECT_EQ(ids_of(doc.get()), (std::vector<int64_t>{10, 20}));
    EXPECT_EQ(points_of(doc.get()), (std::vector<double>{-1.0, -2.0, 1e300, 0.1, 0.2, 0.3}));
}

TEST(BinaryNodeBlock, FloatRecordsAreWidened) {
    std::string text = binary_node_header(1, 2);
    put_i32(text, -5);
    for (float v : {0.1f, 2.5f, -3.0f}) put_f32(text, v);
    const auto doc = open_text(text);
    EXPECT_EQ(ids_of(doc.get()), (std::vector<int64_t>{-5}));
    EXPECT_EQ(points_of(doc.get()), (std::vector<double>{double(0.1f), 2.5, -3.0}));
}

std::string open_failure(const std::string& text) {
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_memory(text.data(), text.size(), nullptr, &doc), KOVAN_ERR_PARSE);
    EXPECT_EQ(doc, nullptr);
    return kovan_last_error(nullptr);
}

TEST(BinaryNodeBlock, WithoutACountTheParseFails) {
    EXPECT_EQ(open_failure("    2C                             x                                     3\n"),
              "truncated binary node block: the header declares -1 nodes in format 3, and the file does not hold "
              "that many records");
}

TEST(BinaryNodeBlock, RecordsTheTextDoesNotHoldAreACutOffBlock) {
    std::string text = binary_node_header(3, 2);
    put_i32(text, 1);
    for (float v : {1.f, 2.f, 3.f}) put_f32(text, v);
    put_i32(text, 2);  // half a record: the file is still being written
    const auto doc = open_text(text);
    EXPECT_EQ(ids_of(doc.get()), (std::vector<int64_t>{1}));
    ASSERT_EQ(kovan_n_diagnostics(doc.get()), 1u);
    const kovan_diagnostic d = diagnostics_of(doc.get())[0];
    EXPECT_EQ(d.kind, KOVAN_DIAG_INCOMPLETE_BLOCK);
    EXPECT_EQ(d.line, 1);
    EXPECT_EQ(d.expected, 3);
    EXPECT_EQ(d.found, 1);
    // 2^62 records of 16 bytes wrap around to 0 bytes in 64-bit arithmetic.
    const auto huge = open_text(binary_node_header(4611686018427387904, 2));
    EXPECT_EQ(diagnostics_of(huge.get())[0].expected, 4611686018427387904);
    EXPECT_EQ(kovan_n_points(huge.get()), 0u);
}

}  // namespace
