// Results of the CalculiX runs in tests/data against the values the solver
// printed into its .dat files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

// One printed block of a .dat file: node number to values.
struct PrintedBlock {
    std::string quantity;  // "displacements", "temperatures", ...
    std::map<int64_t, std::vector<double>> values;
};

std::vector<PrintedBlock> read_printed_blocks(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    std::vector<PrintedBlock> blocks;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string first;
        if (!(fields >> first)) continue;
        if (line.find(" for set ") != std::string::npos) {
            blocks.push_back({first, {}});
            continue;
        }
        if (blocks.empty() || first.find_first_not_of("0123456789") != std::string::npos) continue;
        std::vector<double> values;
        for (double v; fields >> v;) values.push_back(v);
        blocks.back().values[std::stoll(first)] = values;
    }
    return blocks;
}

DocumentHandle open_file(const std::string& name) {
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open(data_path(name).c_str(), &doc), KOVAN_OK) << kovan_last_error(nullptr);
    return DocumentHandle(doc);
}

// The k-th printed block of the quantity matches array `name` of step k to
// the precision of the FRD file (six significant digits).
void expect_printed_values(const std::string& frd, const std::string& quantity, const char* name) {
    SCOPED_TRACE(frd);
    const auto doc = open_file(frd);
    std::vector<PrintedBlock> printed = read_printed_blocks(data_path(frd.substr(0, frd.size() - 4) + ".dat"));
    uint64_t step = 0;
    for (const PrintedBlock& block : printed) {
        if (block.quantity != quantity) continue;
        ASSERT_LT(step, kovan_n_steps(doc.get()));
        const std::vector<double> values = array_values(doc.get(), step, name);
        const int64_t* ids = kovan_node_ids(doc.get());
        const uint64_t n_points = kovan_n_points(doc.get());
        ASSERT_EQ(block.values.size(), n_points);
        const uint64_t c = values.size() / n_points;
        double largest = 0.0;
        for (const auto& entry : block.values) {
            for (double v : entry.second) largest = std::max(largest, std::fabs(v));
        }
        for (uint64_t p = 0; p < n_points; ++p) {
            const std::vector<double>& expected = block.values.at(ids[p]);
            ASSERT_EQ(expected.size(), c);
            for (uint64_t k = 0; k < c; ++k) EXPECT_NEAR(values[p * c + k], expected[k], 1e-5 * largest) << ids[p];
        }
        ++step;
    }
    EXPECT_EQ(step, kovan_n_steps(doc.get()));
}

TEST(SolverResults, StaticIncrementsMatchThePrintedDisplacements) {
    expect_printed_values("hex8_static.frd", "displacements", "DISP");
}

TEST(SolverResults, ModeShapesMatchThePrintedDisplacements) {
    expect_printed_values("beam_frequency.frd", "displacements", "DISP");
}

TEST(SolverResults, BinaryDisplacementsMatchThePrintedOnes) {
    expect_printed_values("hex20_binary.frd", "displacements", "DISP");
}

TEST(SolverResults, TemperaturesMatchThePrintedOnes) {
    expect_printed_values("heat_transfer.frd", "temperatures", "NDTEMP");
}

TEST(SolverResults, StressStepsCarryDerivedArraysInAsciiAndBinary) {
    for (const char* frd : {"hex8_static.frd", "hex20_binary.frd"}) {
        SCOPED_TRACE(frd);
        const auto doc = open_file(frd);
        const auto names = array_names(doc.get(), kovan_n_steps(doc.get()) - 1);
        ASSERT_GE(names.size(), 7u);
        EXPECT_EQ(names[0], "DISP");
        EXPECT_EQ(names[1], "STRESS");
        EXPECT_EQ(names[2], "STRESS_Mises");
        EXPECT_EQ(names[6], "STRESS_PS1");
        const auto stress = array_values(doc.get(), kovan_n_steps(doc.get()) - 1, "STRESS");
        const auto mises = array_values(doc.get(), kovan_n_steps(doc.get()) - 1, "STRESS_Mises");
        ASSERT_EQ(stress.size(), 6 * mises.size());
        double largest = 0.0;
        for (double m : mises) largest = std::max(largest, m);
        EXPECT_GT(largest, 0.0);  // the loaded models are stressed
    }
}

}  // namespace
