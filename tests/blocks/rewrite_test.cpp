#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/document_snapshot.h"
#include "support/frd_text.h"

using namespace kovan_test;

namespace {

struct Rewritten {
    kovan_status status;
    std::string bytes;
    std::string error;
};

Rewritten rewrite(const std::string& input, int32_t format) {
    char* out = reinterpret_cast<char*>(1);
    uint64_t size = 99;
    Rewritten result{kovan_rewrite_memory(input.data(), input.size(), format, &out, &size), {}, {}};
    if (result.status == KOVAN_OK) {
        EXPECT_NE(out, nullptr);
        EXPECT_EQ(out[size], '\0');
        result.bytes.assign(out, size);
    } else {
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(size, 0u);
        result.error = kovan_last_error(nullptr);
    }
    kovan_free(out);
    return result;
}

std::string converted(const std::string& input, int32_t format) {
    const Rewritten result = rewrite(input, format);
    EXPECT_EQ(result.status, KOVAN_OK) << result.error;
    return result.bytes;
}

TEST(Rewrite, ArgumentsAreCheckedFirst) {
    char* out = nullptr;
    uint64_t size = 5;
    EXPECT_EQ(kovan_rewrite_memory(nullptr, 0, 1, &out, &size), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_rewrite_memory("", 0, 1, nullptr, &size), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_rewrite_memory("", 0, 1, &out, nullptr), KOVAN_ERR_ARG);
    char* untouched = reinterpret_cast<char*>(&size);
    out = untouched;
    EXPECT_EQ(kovan_rewrite_memory("", 0, 4, &out, &size), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_rewrite_memory("", 0, -2, &out, &size), KOVAN_ERR_ARG);
    EXPECT_EQ(out, untouched);
    EXPECT_EQ(size, 5u);
    kovan_free(nullptr);
}

TEST(Rewrite, EmptyInputGivesAnEmptyBuffer) {
    const Rewritten result = rewrite("", 2);
    EXPECT_EQ(result.status, KOVAN_OK);
    EXPECT_EQ(result.bytes, "");
}

const std::string kAsciiNodes =
    "    1C\r\n"
    "    2C                             2                                     1\r\n"
    " -1         1 1.00000E+00 2.00000E+00 3.00000E+00\r\n"
    " -1         2-1.00000E+00-2.00000E+00-3.00000E+00\n"
    " -3\r\n"
    " 9999\r\n";

TEST(Rewrite, AsciiNodeBlockToBinaryAndBack) {
    const std::string binary = converted(kAsciiNodes, 2);
    const std::string header = "    2C                             2                                     2\r\n";
    ASSERT_EQ(binary.substr(0, 8), "    1C\r\n");
    EXPECT_EQ(binary.substr(8, header.size()), header);
    EXPECT_EQ(binary.substr(8 + header.size() + 32), " 9999\r\n");  // 16 bytes a node, no " -3"
    // Records come back with the document's terminator, copied lines with their own.
    const std::string regenerated =
        "    1C\r\n"
        "    2C                             2                                     1\r\n"
        " -1         1 1.00000E+00 2.00000E+00 3.00000E+00\r\n"
        " -1         2-1.00000E+00-2.00000E+00-3.00000E+00\r\n"
        " -3\r\n"
        " 9999\r\n";
    EXPECT_EQ(converted(binary, 1), regenerated);
    EXPECT_EQ(converted(kAsciiNodes, -1), regenerated);
    EXPECT_EQ(converted(kAsciiNodes, 1), regenerated);
}

TEST(Rewrite, RawLinesSurviveAsciiTargetsAndRefuseBinaryOnes) {
    const std::string text = "    2C 2 1\n -1 1 1.0 2.0 3.0\n -1 2 1.0 two 3.0\n -3\n";
    const std::string short_form = converted(text, 0);
    EXPECT_NE(short_form.find(" -1 2 1.0 two 3.0\n"), std::string::npos);
    EXPECT_NE(short_form.find(" -1    1 1.00000E+00"), std::string::npos);
    const Rewritten refused = rewrite(text, 3);
    EXPECT_EQ(refused.status, KOVAN_ERR_PARSE);
    EXPECT_EQ(refused.error,
              "cannot convert this document to format 3: a block holds a line this reader could not parse as a "
              "record, and a binary block has no way to carry it");
}

TEST(Rewrite, HeaderWithoutFormatCodeConvertsOnlyToItsOwnFormat) {
    const std::string text = "    2C 4\n -1 1 1.0 2.0 3.0\n -3\n";
    const Rewritten refused = rewrite(text, 0);
    EXPECT_EQ(refused.status, KOVAN_ERR_PARSE);
    EXPECT_EQ(refused.error,
              "cannot convert this document to format 0: a block header states no format code, so it cannot be "
              "restamped, and converting its records would leave the header declaring the encoding they no longer "
              "use");
    EXPECT_EQ(rewrite("    2C 1 01\n -1 1 1.0 2.0 3.0\n -3\n", 2).status, KOVAN_ERR_PARSE);
    EXPECT_EQ(rewrite(text, 1).status, KOVAN_OK);
    EXPECT_EQ(converted(text, -1), "    2C 4\n -1 1 1.00000E+00 2.00000E+00 3.00000E+00\n -3\n");  // id as wide as read
}

TEST(Rewrite, BinaryTargetsRefuseWhatTheirRecordsCannotCarry) {
    const std::string wide = "    2C 1 1\n -1 4294967296 1.0 2.0 3.0\n -3\n";
    EXPECT_EQ(rewrite(wide, 2).error,
              "cannot convert this document to format 2: a node block holds node number 4294967296, which the "
              "32-bit fields of a binary block cannot carry");
    EXPECT_EQ(rewrite("    2C 3 1\n -1 1 1.0 2.0 3.0\n -3\n", 2).error,
              "cannot convert this document to format 2: a node block header states 3 records but the block holds "
              "1, and a binary block is read by its stated count");
    EXPECT_EQ(rewrite("    3C 1 1\n -1 1 1 0 1\n -2 1 2 3\n -3\n", 3).error,
              "cannot convert this document to format 3: an element block holds element 1 of type 1 with 3 node "
              "numbers where the type has 8, and a binary element record holds exactly its type's nodes");
    const std::string results =
        "  100CL  101 1.00000E+00           1                     0    1           1\n"
        " -4  DISP        3    1\n -5  D1 1 2 1 0\n -5  D2 1 2 2 0\n -5  D3 1 2 3 0\n -1 1 1.0 2.0\n -3\n";
    EXPECT_EQ(rewrite(results, 2).error,
              "cannot convert this document to format 2: a result block record of node 1 holds 2 values where the "
              "block stores 3, and every binary record holds exactly the stored components");
}

TEST(Rewrite, AsciiTargetsRefuseNodeNumbersWiderThanTheirField) {
    std::string text = "    3C 1 2\n";
    for (int32_t v : {1, 11, 0, 1, 100000, 2}) put_i32(text, v);
    EXPECT_EQ(rewrite(text, 0).error,
              "cannot convert this document to format 0: an element block holds node number 100000, which needs "
              "more characters than its field, so the numbers of its line would run together");
    EXPECT_EQ(rewrite(text, 1).status, KOVAN_OK);
}

// Texts on which the re-encoder and the document reader once disagreed:
// each converts to binary double, and with target -1, into a text that
// reads as it does, or is refused.
TEST(Rewrite, ConversionsReadBackAsTheInputReads) {
    const std::string nodes = "    2C 2 1\n -1 1 0.0 0.0 0.0\n -1 2 1.0 0.0 0.0\n -3\n";
    const std::string header = "  100CL  101 1.00000E+00           2                     0    1           1\n";
    const std::string disp = " -4  DISP        1    1\n -5  D1          1    1    1    0\n";
    const std::string cases[] = {
        // Four fields: the last is the node count, not a format code.
        nodes + "  100CL 101 1.0 2\n -4 DISP 1 1\n -5 D1 1 1 1 0\n -1 1 5.0\n -1 2 6.0\n -3\n",
        // "-5" lines and no "-4" line.
        nodes + header + " -5  D1 1 1 1 0\n -1 1 5.0\n -1 2 6.0\n -3\n",
        // A line that starts with a negative number is no continuation line.
        nodes + header + disp + " -1         1 5.00000E+00\n-2.70373E-18\n -1         2 6.00000E+00\n -3\n",
        // An element number that does not read.
        nodes + "    3C 1 1\n -1 x7 11 0 1\n -2 1 2\n -3\n",
        // Zero-point notation, values of seven digits, and NaN and infinity
        // touching a three-digit exponent.
        nodes + header + disp + " -1         1-0.16254E+04\n -1         2-9.852027E-07\n -3\n",
        nodes + "  100CL  101 1.00000E+00           2                     0    1           1\n"
                " -4  S           3    1\n -5  A 1 1 1 0\n -5  B 1 1 2 0\n -5  C 1 1 3 0\n"
                " -1         1         NaN1.00000E+300        -INF\n -1         2         inf1.00000E-100 5.00000E+00\n"
                " -3\n",
        // A file cut inside a result record.
        nodes + header + disp + " -1         1 5.00000E+00\n -1         2 6.0",
        // Twelve components: a continuation line of seven digits after a
        // first line in the standard columns.
        nodes + header + " -4  PSTRESS    12    1\n"
                " -1         1 1.00000E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n"
                " -2           -3394928E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n"
                " -1         2 1.00000E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n"
                " -2           1.00000E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n -3\n",
    };
    for (const std::string& text : cases) {
        for (int32_t format : {-1, 3}) EXPECT_EQ(conversion_difference(text.data(), text.size(), format), "") << text;
    }
    // What those readers take from such lines, besides reading the same.
    EXPECT_EQ(converted(cases[0], 1), converted(cases[0], -1));  // long ASCII is the block's own format
    const auto glued = open_text(cases[2]);
    EXPECT_EQ(array_values(glued.get(), 0, "DISP"), (std::vector<double>{5.0, 6.0}));
    const std::string kept = converted(cases[4], -1);
    EXPECT_NE(kept.find(" -1         1-0.16254E+04\n -1         2-9.852027E-07\n"), std::string::npos) << kept;
    const std::string pstress = cases[7].substr(cases[7].find(" -4  PSTRESS"));
    EXPECT_NE(converted(cases[7], -1).find(pstress), std::string::npos);  // every line as it stood
    const auto special = open_text(cases[5]);
    const std::vector<double> s = array_values(special.get(), 0, "S");
    ASSERT_EQ(s.size(), 6u);
    EXPECT_TRUE(std::isnan(s[0]));
    EXPECT_EQ(s[1], 1e300);
    EXPECT_EQ(s[2], -HUGE_VAL);
    EXPECT_EQ(s[3], HUGE_VAL);
    EXPECT_EQ(s[4], 1e-100);
}

TEST(Rewrite, NodeFieldsAsWideAsTheInputHadThemComeBackWhole) {
    // Found by fuzzing: one number on a 200-character line makes the field
    // 200 wide, and keeping it once overran the field buffer.
    const std::string text = "    3C 1 1\n -1         1   11    0    1\n -2" + std::string(199, ' ') + "1" + std::string(199, ' ') + "2\n -3\n";
    EXPECT_EQ(converted(text, -1), text);
}

// What kovan's own reader sees, for comparisons across encodings.
struct Snapshot {
    std::vector<int64_t> node_ids, cell_ids, offsets, connectivity;
    std::vector<uint8_t> types;
    std::vector<double> points;
    std::vector<std::vector<std::string>> names;
    std::vector<std::vector<std::vector<double>>> values;
};

Snapshot snapshot(const std::string& text) {
    const auto doc = open_text(text);
    Snapshot s;
    const uint64_t np = kovan_n_points(doc.get()), nc = kovan_n_cells(doc.get());
    s.node_ids.assign(kovan_node_ids(doc.get()), kovan_node_ids(doc.get()) + np);
    s.points.assign(kovan_points(doc.get()), kovan_points(doc.get()) + 3 * np);
    s.types.assign(kovan_cell_types(doc.get()), kovan_cell_types(doc.get()) + nc);
    s.cell_ids.assign(kovan_cell_ids(doc.get()), kovan_cell_ids(doc.get()) + nc);
    s.offsets.assign(kovan_cell_offsets(doc.get()), kovan_cell_offsets(doc.get()) + nc + 1);
    s.connectivity.assign(kovan_cell_connectivity(doc.get()), kovan_cell_connectivity(doc.get()) + s.offsets.back());
    for (uint64_t step = 0; step < kovan_n_steps(doc.get()); ++step) {
        s.names.push_back(array_names(doc.get(), step));
        s.values.emplace_back();
        for (const std::string& name : s.names.back()) s.values.back().push_back(array_values(doc.get(), step, name.c_str()));
    }
    return s;
}

// Equal to the relative precision that the encodings on the way carry.
void expect_same_document(const Snapshot& a, const Snapshot& b, double tolerance) {
    EXPECT_EQ(a.node_ids, b.node_ids);
    EXPECT_EQ(a.cell_ids, b.cell_ids);
    EXPECT_EQ(a.types, b.types);
    EXPECT_EQ(a.offsets, b.offsets);
    EXPECT_EQ(a.connectivity, b.connectivity);
    EXPECT_EQ(a.names, b.names);
    ASSERT_EQ(a.points.size(), b.points.size());
    for (size_t i = 0; i < a.points.size(); ++i) {
        EXPECT_NEAR(a.points[i], b.points[i], tolerance * std::max(1.0, std::fabs(a.points[i])));
    }
    ASSERT_EQ(a.values.size(), b.values.size());
    for (size_t s = 0; s < a.values.size(); ++s) {
        ASSERT_EQ(a.values[s].size(), b.values[s].size());
        for (size_t k = 0; k < a.values[s].size(); ++k) {
            ASSERT_EQ(a.values[s][k].size(), b.values[s][k].size());
            double scale = 0.0;
            for (double v : a.values[s][k]) scale = std::max(scale, std::fabs(v));
            for (size_t i = 0; i < a.values[s][k].size(); ++i) {
                EXPECT_NEAR(a.values[s][k][i], b.values[s][k][i], tolerance * scale) << a.names[s][k] << " " << i;
            }
        }
    }
}

TEST(Rewrite, ChainsOverSolverFilesKeepMeshAndValues) {
    const std::vector<int32_t> every_format = {0, 2, 1, 3, 0, 3, 2, 1};
    // Node numbers above 99,999 do not fit the short format; the
    // post-processor's headers state no format code, so they keep theirs.
    const std::pair<const char*, std::vector<int32_t>> chains[] = {
        {"hex8_static.frd", every_format},   {"wedges.frd", every_format},
        {"beam_frequency.frd", every_format}, {"heat_transfer.frd", every_format},
        {"hex20_binary.frd", every_format},  {"tet4_high_ids.frd", {2, 1, 3, 2, 1}},
        {"hex20_cgx_short.frd", {1, -1}},
    };
    for (const auto& [name, formats] : chains) {
        SCOPED_TRACE(name);
        const std::string original = read_file(data_path(name));
        const Snapshot reference = snapshot(original);
        // The post-processor writes lower-case exponents, which records come back without.
        if (std::string(name) != "hex20_cgx_short.frd") {
            EXPECT_EQ(converted(original, -1), original);
        }
        std::string current = original;
        for (int32_t format : formats) {
            SCOPED_TRACE(format);
            current = converted(current, format);
            expect_same_document(reference, snapshot(current), 5e-6);  // six significant digits
        }
    }
    EXPECT_EQ(rewrite(read_file(data_path("tet4_high_ids.frd")), 0).status, KOVAN_ERR_PARSE);
    EXPECT_EQ(rewrite(read_file(data_path("hex20_cgx_short.frd")), 2).status, KOVAN_ERR_PARSE);
}

TEST(Rewrite, AsciiLongSolverFilesComeBackByteForByteThroughBinaryDouble) {
    for (const char* name : {"hex8_static.frd", "tet4_high_ids.frd", "beam_frequency.frd", "heat_transfer.frd"}) {
        SCOPED_TRACE(name);
        const std::string original = read_file(data_path(name));
        EXPECT_EQ(converted(converted(original, 3), 1), original);
        EXPECT_EQ(converted(converted(converted(original, 2), 3), 1), original);
    }
}

}  // namespace

namespace {

// Every prefix of a real binary file and of an ASCII one (a file still being
// written), converted to every target: a status, never a crash; what
// converts opens again, and to binary double or with target -1 it reads
// exactly as the prefix does.
TEST(Rewrite, DamagedInputNeverCrashesAndWhatConvertsReadsBack) {
    for (const char* name : {"hex20_binary.frd", "hex8_static.frd"}) {
        const std::string file = read_file(data_path(name));
        for (size_t length = 0; length <= file.size(); length += 7) {
            for (int32_t format = -1; format <= 3; ++format) {
                char* out = nullptr;
                uint64_t size = 0;
                const kovan_status status = kovan_rewrite_memory(file.data(), length, format, &out, &size);
                ASSERT_TRUE(status == KOVAN_OK || status == KOVAN_ERR_PARSE) << name << " " << length;
                if (status == KOVAN_OK) {
                    kovan_document* doc = nullptr;
                    const kovan_status reopened = kovan_open_memory(out, size, nullptr, &doc);
                    EXPECT_EQ(reopened, KOVAN_OK) << name << " " << length << " to " << format << ": " << kovan_last_error(nullptr);
                    kovan_close(doc);
                }
                kovan_free(out);
            }
            for (int32_t format : {-1, 3}) {
                EXPECT_EQ(conversion_difference(file.data(), length, format), "") << name << " " << length;
            }
        }
    }
}

}  // namespace
