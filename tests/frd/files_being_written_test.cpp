// A file the solver is still writing ends anywhere. Every prefix of real
// solver output opens, reads nothing that the whole file does not hold, and
// reports the block that the end of the text cuts off.
#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "support/document_snapshot.h"
#include "support/frd_text.h"

using namespace kovan_test;

namespace {

struct Extent {
    size_t begin, end;  // from the last character of a block's key to its "-3" (without the line end)
};

// Where the blocks of a CalculiX ASCII file lie: from the key of a header
// line ("2C", "3C", "100") to the next " -3".
std::vector<Extent> ascii_blocks(const std::string& text) {
    std::vector<Extent> blocks;
    size_t at = 0;
    bool open = false;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        const size_t first = line.find_first_not_of(' ');
        const std::string key = first == std::string::npos ? "" : line.substr(first, 4);
        if (!open && (key.rfind("2C", 0) == 0 || key.rfind("3C", 0) == 0 || key == "100C")) {
            blocks.push_back({at + first + (key == "100C" ? 2 : 1), text.size()});
            open = true;
        } else if (open && key.rfind("-3", 0) == 0) {
            blocks.back().end = at + first + 2;
            open = false;
        }
        at = end + 1;
    }
    return blocks;
}

bool inside_a_block(const std::vector<Extent>& blocks, size_t cut) {
    for (const Extent& b : blocks) {
        if (b.begin < cut && cut < b.end) return true;
    }
    return false;
}

std::map<int64_t, std::vector<double>> points_by_node(const DocumentSnapshot& s) {
    std::map<int64_t, std::vector<double>> points;
    for (size_t i = 0; i < s.node_ids.size(); ++i) points[s.node_ids[i]] = {s.points.begin() + 3 * i, s.points.begin() + 3 * i + 3};
    return points;
}

// Arrays by step (its time, and its place among steps of that time, which
// keep the file's order) and name, each as the values of its points by node.
using StepArray = std::tuple<double, int, std::string>;
using ArraysByStep = std::map<StepArray, std::map<int64_t, std::vector<double>>>;

ArraysByStep arrays_by_step(const DocumentSnapshot& s) {
    ArraysByStep arrays;
    std::map<double, int> seen;
    for (const StepSnapshot& step : s.steps) {
        const int place = seen[step.time]++;
        for (const ArraySnapshot& a : step.arrays) {
            auto& by_node = arrays[{step.time, place, a.name}];
            for (size_t p = 0; p < s.node_ids.size(); ++p) {
                by_node[s.node_ids[p]] = {a.values.begin() + p * a.components, a.values.begin() + (p + 1) * a.components};
            }
        }
    }
    return arrays;
}

// Blocks reported cut off; a prefix is never taken for something else than FRD.
int count_cut_off(const std::string& text, size_t length) {
    const auto doc = open_text(text.substr(0, length));
    int cut_off = 0;
    for (const kovan_diagnostic& d : diagnostics_of(doc.get())) {
        cut_off += d.kind == KOVAN_DIAG_INCOMPLETE_BLOCK;
        EXPECT_NE(d.kind, KOVAN_DIAG_NOT_FRD);
    }
    return cut_off;
}

TEST(FilesBeingWritten, EveryPrefixReadsOnlyWhatTheWholeFileHolds) {
    for (const char* name : {"hex8_static.frd", "beam_frequency.frd", "hex20_binary.frd", "hex20_cgx_short.frd"}) {
        const std::string file = read_file(data_path(name));
        const DocumentSnapshot whole = snapshot(file.data(), file.size());
        const auto whole_points = points_by_node(whole);
        const ArraysByStep whole_arrays = arrays_by_step(whole);
        for (size_t cut = 0; cut <= file.size(); cut += 5) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
            const DocumentSnapshot prefix = snapshot(file.data(), cut);
            ASSERT_TRUE(prefix.opened);
            for (const auto& [node, xyz] : points_by_node(prefix)) {
                ASSERT_TRUE(whole_points.count(node));
                EXPECT_TRUE(same_values(xyz, whole_points.at(node)));
            }
            for (const StepSnapshot& step : prefix.steps) EXPECT_EQ(step.status, KOVAN_OK) << step.error;
            for (const auto& [key, by_node] : arrays_by_step(prefix)) {
                ASSERT_TRUE(whole_arrays.count(key)) << std::get<2>(key);
                for (const auto& [node, values] : by_node) {
                    EXPECT_TRUE(same_values(values, whole_arrays.at(key).at(node))) << std::get<2>(key) << " " << node;
                }
            }
        }
    }
}

TEST(FilesBeingWritten, ACutInsideABlockIsReportedOnce) {
    for (const char* name : {"hex8_static.frd", "beam_frequency.frd", "heat_transfer.frd"}) {
        const std::string file = read_file(data_path(name));
        const std::vector<Extent> blocks = ascii_blocks(file);
        for (size_t cut = 0; cut <= file.size(); cut += 3) {
            EXPECT_EQ(count_cut_off(file, cut), inside_a_block(blocks, cut) ? 1 : 0) << name << " cut at " << cut;
        }
    }
    // Cut inside the node records, the block keeps the nodes before the cut.
    const std::string file = read_file(data_path("hex8_static.frd"));
    const size_t third_node = file.find(" -1         3");
    const auto doc = open_text(file.substr(0, third_node + 20));
    EXPECT_EQ(kovan_n_points(doc.get()), 2u);
    const kovan_diagnostic d = diagnostics_of(doc.get()).at(0);
    EXPECT_EQ(d.line, 12);  // the "2C" header
    EXPECT_EQ(d.expected, 12);
    EXPECT_EQ(d.found, 2);
}

}  // namespace
