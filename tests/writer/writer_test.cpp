#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

struct WriterCloser {
    void operator()(kovan_writer* writer) const { kovan_writer_free(writer); }
};
using WriterHandle = std::unique_ptr<kovan_writer, WriterCloser>;

const double kTwoPoints[6] = {0.0, 0.0, 0.0, 1.5, -2.0, 1e-3};

TEST(Writer, NewAcceptsTheFourFormatsOnly) {
    for (uint32_t format = 0; format <= 3; ++format) {
        kovan_writer* writer = kovan_writer_new(format);
        EXPECT_NE(writer, nullptr);
        kovan_writer_free(writer);
    }
    EXPECT_EQ(kovan_writer_new(4), nullptr);
    kovan_writer_free(nullptr);
}

TEST(Writer, AsciiLongFileExactBytes) {
    WriterHandle w(kovan_writer_new(1));
    const int64_t ids[2] = {10, 20};
    ASSERT_EQ(kovan_writer_set_nodes(w.get(), 2, ids, kTwoPoints), KOVAN_OK);
    const uint8_t types[1] = {3};
    const int64_t offsets[2] = {0, 2}, connectivity[2] = {1, 0};
    ASSERT_EQ(kovan_writer_set_cells(w.get(), 1, types, offsets, connectivity, nullptr, 0), KOVAN_OK);
    ASSERT_EQ(kovan_writer_begin_step(w.get(), 1, 1.0), KOVAN_OK);
    const double disp[6] = {1, 2, 3, -4, -5, -6};
    ASSERT_EQ(kovan_writer_add_array(w.get(), "DISP", 3, nullptr, 0, disp), KOVAN_OK);
    EXPECT_EQ(finished_file(w.get()),
              "    1C\n"
              "    1UPGM               kovanmeshconverter\n"
              "    2C                             2                                     1\n"
              " -1        10 0.00000E+00 0.00000E+00 0.00000E+00\n"
              " -1        20 1.50000E+00-2.00000E+00 1.00000E-03\n"
              " -3\n"
              "    3C                             1                                     1\n"
              " -1         1   11    1    1\n"
              " -2        20        10\n"
              " -3\n"
              "    1PSTEP                         1           1           1          \n"
              "  100CL    1 1.000000000           2                     0    1           1\n"
              " -4  DISP        3    1\n"
              " -5  DISP1       1    2    1    0\n"
              " -5  DISP2       1    2    2    0\n"
              " -5  DISP3       1    2    3    0\n"
              " -1        10 1.00000E+00 2.00000E+00 3.00000E+00\n"
              " -1        20-4.00000E+00-5.00000E+00-6.00000E+00\n"
              " -3\n"
              " 9999\n");
}

TEST(Writer, AsciiShortFileExactBytes) {
    WriterHandle w(kovan_writer_new(0));
    ASSERT_EQ(kovan_writer_set_nodes(w.get(), 2, nullptr, kTwoPoints), KOVAN_OK);
    ASSERT_EQ(kovan_writer_begin_step(w.get(), 100000, 100.0), KOVAN_OK);
    const double values[14] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    const char* names[7] = {"A", nullptr, "C", nullptr, nullptr, nullptr, "LONGNAME9"};
    ASSERT_EQ(kovan_writer_add_array(w.get(), "TEMPERATURE", 7, names, 9, values), KOVAN_OK);
    EXPECT_EQ(finished_file(w.get()),
              "    1C\n"
              "    1UPGM               kovanmeshconverter\n"
              "    2C                             2                                     0\n"
              " -1    1 0.00000E+00 0.00000E+00 0.00000E+00\n"
              " -1    2 1.50000E+00-2.00000E+00 1.00000E-03\n"
              " -3\n"
              "    1PSTEP                    100000           1           1          \n"
              "  100CL100000 1.00000E+02           2                     0    1           0\n"
              " -4  TEMPERATURE    7    1\n"
              " -5  A           1    9    1    0\n"
              " -5  TEMPER2     1    9    2    0\n"
              " -5  C           1    9    3    0\n"
              " -5  TEMPER4     1    9    4    0\n"
              " -5  TEMPER5     1    9    5    0\n"
              " -5  TEMPER6     1    9    6    0\n"
              " -5  LONGNAME9    1    9    7    0\n"
              " -1    1 1.00000E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n"
              " -2      7.00000E+00\n"
              " -1    2 8.00000E+00 9.00000E+00 1.00000E+01 1.10000E+01 1.20000E+01 1.30000E+01\n"
              " -2      1.40000E+01\n"
              " -3\n"
              " 9999\n");
}

TEST(Writer, BinaryFilesCarryRecordsAfterTheirHeaders) {
    for (uint32_t format : {2u, 3u}) {
        SCOPED_TRACE(format);
        WriterHandle w(kovan_writer_new(format));
        ASSERT_EQ(kovan_writer_set_nodes(w.get(), 2, nullptr, kTwoPoints), KOVAN_OK);
        const uint8_t types[1] = {3};
        const int64_t offsets[2] = {0, 2}, connectivity[2] = {0, 1};
        ASSERT_EQ(kovan_writer_set_cells(w.get(), 1, types, offsets, connectivity, nullptr, 0), KOVAN_OK);
        ASSERT_EQ(kovan_writer_begin_step(w.get(), 1, 0.5), KOVAN_OK);
        const double t[2] = {7.0, 8.0};
        ASSERT_EQ(kovan_writer_add_array(w.get(), "NT", 1, nullptr, 0, t), KOVAN_OK);
        const std::string file = finished_file(w.get());
        const uint64_t real = format == 3 ? 8 : 4;
        const std::string node_header = "    2C                             2                                     " +
                                        std::to_string(format) + "\n";
        const size_t at_nodes = file.find(node_header);
        ASSERT_NE(at_nodes, std::string::npos);
        const size_t at_elements = at_nodes + node_header.size() + 2 * (4 + 3 * real);
        const std::string element_header = "    3C                             1                                     2\n";
        EXPECT_EQ(file.substr(at_elements, element_header.size()), element_header);
        EXPECT_EQ(file.find(" -3"), std::string::npos);
        EXPECT_NE(file.find("  100CL    1 0.500000000           2                     0    1           " +
                            std::to_string(format) + "\n -4  NT          1    1\n -5  NT1         1    1    1    0\n"),
                  std::string::npos);
        EXPECT_EQ(file.substr(file.size() - 6), " 9999\n");
        const auto doc = open_text(file);
        EXPECT_EQ(array_values(doc.get(), 0, "NT"), (std::vector<double>{7.0, 8.0}));
    }
}

TEST(Writer, NodesNeverSetStillGiveATerminatedNodeBlock) {
    for (uint32_t format : {0u, 1u, 2u}) {
        WriterHandle w(kovan_writer_new(format));
        const std::string file = finished_file(w.get());
        const std::string header = "    2C                             0                                     " +
                                   std::to_string(format) + "\n";
        const std::string end = format < 2 ? " -3\n" : "";
        EXPECT_EQ(file, "    1C\n    1UPGM               kovanmeshconverter\n" + header + end + " 9999\n");
    }
}

TEST(Writer, NodeArgumentsAndDefaults) {
    WriterHandle w(kovan_writer_new(1));
    EXPECT_EQ(kovan_writer_set_nodes(nullptr, 0, nullptr, nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_set_nodes(w.get(), 3, nullptr, nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_set_nodes(w.get(), 0, nullptr, nullptr), KOVAN_OK);
    const double points[9] = {0, 0, 0, 1, 0, 0, 2, 0, 0};
    const int64_t repeated[3] = {5, 5, -1};
    ASSERT_EQ(kovan_writer_set_nodes(w.get(), 3, repeated, points), KOVAN_OK);
    const std::string file = finished_file(w.get());
    EXPECT_NE(file.find(" -1         5 0.00000E+00"), std::string::npos);
    EXPECT_NE(file.find(" -1         5 1.00000E+00"), std::string::npos);
    EXPECT_NE(file.find(" -1        -1 2.00000E+00"), std::string::npos);
}

TEST(Writer, BinaryWritersRefuseIdsBeyondThirtyTwoBits) {
    WriterHandle w(kovan_writer_new(2));
    const int64_t ids[2] = {1, 4294967297};
    EXPECT_EQ(kovan_writer_set_nodes(w.get(), 2, ids, kTwoPoints), KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr),
                 "node id 4294967297 of point 1 does not fit the 32-bit fields of a binary FRD file");
    ASSERT_EQ(kovan_writer_set_nodes(w.get(), 2, nullptr, kTwoPoints), KOVAN_OK);
    const uint8_t types[1] = {3};
    const int64_t offsets[2] = {0, 2}, connectivity[2] = {0, 1}, cell_ids[1] = {-3000000000LL};
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, types, offsets, connectivity, cell_ids, 0), KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr),
                 "cell 0 has element id -3000000000, which the 32-bit fields of a binary FRD file cannot carry");
}

TEST(Writer, ShortWritersRefuseNodeNumbersWiderThanTheirField) {
    WriterHandle w(kovan_writer_new(0));
    const int64_t ids[2] = {1, 100000};
    ASSERT_EQ(kovan_writer_set_nodes(w.get(), 2, ids, kTwoPoints), KOVAN_OK);
    const uint8_t types[1] = {3};
    const int64_t offsets[2] = {0, 2}, connectivity[2] = {0, 1};
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, types, offsets, connectivity, nullptr, 0), KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr),
                 "cell 0 names node 100000, which needs more than the 5 characters of a node field in this format");
}

TEST(Writer, CellFailuresNameTheCellAndKeepTheCellsBefore) {
    WriterHandle w(kovan_writer_new(1));
    const uint8_t tetra[1] = {10};
    const int64_t connectivity[8] = {0, 1, 2, 3, 0, 1, 2, 3};
    const int64_t before_nodes[2] = {0, 4};
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, tetra, before_nodes, connectivity, nullptr, 0), KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr), "cell connectivity refers to a point that is not in the mesh");
    const double points[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
    ASSERT_EQ(kovan_writer_set_nodes(w.get(), 4, nullptr, points), KOVAN_OK);
    const uint8_t polygon[1] = {7};
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, polygon, before_nodes, connectivity, nullptr, 0), KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr), "cell 0 has VTK type 7, which has no CalculiX element code");
    const int64_t three[2] = {4, 7}, decreasing[2] = {7, 4};
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, tetra, three, connectivity, nullptr, 0), KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr), "cell 0 has 3 points, but its type needs 4");
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, tetra, decreasing, connectivity, nullptr, 0), KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr), "cell 0 has -3 points, but its type needs 4");
    const int64_t outside[4] = {0, 1, 2, 4}, negative[4] = {0, 1, -1, 3};
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, tetra, before_nodes, outside, nullptr, 0), KOVAN_ERR_PARSE);
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, tetra, before_nodes, negative, nullptr, 0), KOVAN_ERR_PARSE);
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, tetra, before_nodes, connectivity, nullptr, 2), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 1, nullptr, before_nodes, connectivity, nullptr, 0), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 0, nullptr, nullptr, nullptr, nullptr, 0), KOVAN_OK);

    // Six cells whose last names a type without a code: five are written.
    std::vector<uint8_t> types(6, 10);
    types[5] = 7;
    std::vector<int64_t> offsets = {0, 4, 8, 12, 16, 20, 24}, many(24);
    for (size_t i = 0; i < many.size(); ++i) many[i] = static_cast<int64_t>(i % 4);
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 6, types.data(), offsets.data(), many.data(), nullptr, 0),
              KOVAN_ERR_PARSE);
    EXPECT_STREQ(kovan_last_error(nullptr), "cell 5 has VTK type 7, which has no CalculiX element code");
    const std::string file = finished_file(w.get());
    EXPECT_NE(file.find("    3C                             5                                     1\n"),
              std::string::npos);
    const auto doc = open_text(file);
    EXPECT_EQ(kovan_n_cells(doc.get()), 5u);
    EXPECT_EQ(kovan_cell_ids(doc.get())[4], 5);
}

TEST(Writer, ArrayNamesMustSurviveBeingReadBack) {
    WriterHandle w(kovan_writer_new(1));
    const double value[1] = {1.0};
    EXPECT_EQ(kovan_writer_add_array(w.get(), "DISP", 1, nullptr, 0, value), KOVAN_ERR_ARG);  // no step yet
    ASSERT_EQ(kovan_writer_begin_step(w.get(), 1, 0.0), KOVAN_OK);
    EXPECT_EQ(kovan_writer_add_array(w.get(), "DISP", 0, nullptr, 0, value), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_add_array(w.get(), "DISP", 1, nullptr, 0, nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_add_array(w.get(), nullptr, 1, nullptr, 0, value), KOVAN_ERR_ARG);
    for (const char* bad : {"", "A B", "A\tB", "DISP\n", "A\vB", "A\x1c" "B"}) {
        EXPECT_EQ(kovan_writer_add_array(w.get(), bad, 1, nullptr, 0, value), KOVAN_ERR_ARG);
        EXPECT_EQ(std::string(kovan_last_error(nullptr)),
                  std::string("array name \"") + bad + "\" is empty or contains whitespace, and would not survive being read back");
    }
    const char* bad_component[1] = {"X Y"};
    EXPECT_EQ(kovan_writer_add_array(w.get(), "U_X", 1, bad_component, 0, value), KOVAN_ERR_ARG);
    EXPECT_STREQ(kovan_last_error(nullptr),
                 "component name \"X Y\" of array \"U_X\" is empty or contains whitespace, and would not survive being "
                 "read back");
    EXPECT_EQ(kovan_writer_add_array(w.get(), "U_X", 1, nullptr, 0, value), KOVAN_OK);
}

TEST(Writer, TimeTextAndTypeCodes) {
    WriterHandle w(kovan_writer_new(1));
    const double values[6] = {0};
    for (double time : {0.5, -10.0, 99.999999999}) {
        ASSERT_EQ(kovan_writer_begin_step(w.get(), 2, time), KOVAN_OK);
        ASSERT_EQ(kovan_writer_add_array(w.get(), "S", 6, nullptr, 0, values), KOVAN_OK);
        ASSERT_EQ(kovan_writer_add_array(w.get(), "T", 2, nullptr, 0, values), KOVAN_OK);
    }
    const std::string file = finished_file(w.get());
    EXPECT_NE(file.find("  100CL    2 0.500000000           0"), std::string::npos);
    EXPECT_NE(file.find("  100CL    2-1.00000E+01           0"), std::string::npos);
    EXPECT_NE(file.find("  100CL    299.999999999           0"), std::string::npos);
    EXPECT_NE(file.find(" -5  S1          1    4    1    0\n"), std::string::npos);
    EXPECT_NE(file.find(" -5  T1          1    1    1    0\n"), std::string::npos);
}

TEST(Writer, FinishesOnceAndRefusesEverythingAfter) {
    WriterHandle w(kovan_writer_new(1));
    char* out = reinterpret_cast<char*>(1);
    uint64_t size = 7;
    EXPECT_EQ(kovan_writer_finish(w.get(), nullptr, &size), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_finish(w.get(), &out, nullptr), KOVAN_ERR_ARG);
    const std::string file = finished_file(w.get());  // the failed calls did not finish it
    EXPECT_EQ(kovan_writer_finish(w.get(), &out, &size), KOVAN_ERR_ARG);
    EXPECT_EQ(out, reinterpret_cast<char*>(1));
    EXPECT_EQ(size, 7u);
    const double points[3] = {0, 0, 0};
    EXPECT_EQ(kovan_writer_set_nodes(w.get(), 1, nullptr, points), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_set_cells(w.get(), 0, nullptr, nullptr, nullptr, nullptr, 0), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_begin_step(w.get(), 1, 1.0), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_writer_add_array(w.get(), "A", 1, nullptr, 0, points), KOVAN_ERR_ARG);
}

}  // namespace
