// Files written by the Writer, read back by kovan's own reader, converted to
// every other encoding and read again.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/document_snapshot.h"
#include "support/frd_text.h"

using namespace kovan_test;

namespace {

// One cell of every type the Writer knows, each on points of its own.
struct Mesh {
    std::vector<double> points;
    std::vector<int64_t> node_ids;
    std::vector<uint8_t> types;
    std::vector<int64_t> offsets{0};
    std::vector<int64_t> connectivity;
    std::vector<int64_t> cell_ids;
};

Mesh all_cell_types() {
    const std::pair<uint8_t, int> cells[] = {{3, 2},   {5, 3},   {9, 4},   {10, 4},  {12, 8},  {13, 6},  {14, 5},
                                             {21, 3},  {22, 6},  {23, 8},  {24, 10}, {25, 20}, {26, 15}, {27, 13}};
    Mesh mesh;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-10.0, 10.0);
    for (const auto& [type, n] : cells) {
        mesh.types.push_back(type);
        mesh.cell_ids.push_back(1000 + type);
        for (int k = 0; k < n; ++k) {
            // Points in reverse order within a cell, so that no order is an accident.
            mesh.connectivity.push_back(static_cast<int64_t>(mesh.node_ids.size()) + n - 1 - k);
        }
        for (int k = 0; k < n; ++k) {
            mesh.node_ids.push_back(static_cast<int64_t>(3 * mesh.node_ids.size() + 7));
            for (int a = 0; a < 3; ++a) mesh.points.push_back(coordinate(random));
        }
        mesh.offsets.push_back(static_cast<int64_t>(mesh.connectivity.size()));
    }
    return mesh;
}

struct Array {
    std::string name;
    uint32_t components;
    std::vector<double> values;
};

struct Step {
    int32_t number;
    double time;
    std::vector<Array> arrays;
};

std::vector<Step> steps_for(size_t n_points) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    std::vector<Step> steps;
    for (int s = 1; s <= 3; ++s) {
        Step step{s, 0.25 * s, {}};
        for (uint32_t c : {1u, 3u, 6u, 12u}) {
            Array array{c == 6 ? "STRESS" : "A" + std::to_string(c), c, std::vector<double>(n_points * c)};
            for (double& v : array.values) v = value(random);
            step.arrays.push_back(std::move(array));
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

std::string write_file(uint32_t format, const Mesh& mesh, const std::vector<Step>& steps, uint32_t wedge_order) {
    kovan_writer* w = kovan_writer_new(format);
    EXPECT_EQ(kovan_writer_set_nodes(w, mesh.node_ids.size(), mesh.node_ids.data(), mesh.points.data()), KOVAN_OK);
    EXPECT_EQ(kovan_writer_set_cells(w, mesh.types.size(), mesh.types.data(), mesh.offsets.data(),
                                     mesh.connectivity.data(), mesh.cell_ids.data(), wedge_order),
              KOVAN_OK)
        << kovan_last_error(nullptr);
    for (const Step& step : steps) {
        EXPECT_EQ(kovan_writer_begin_step(w, step.number, step.time), KOVAN_OK);
        for (const Array& a : step.arrays) {
            EXPECT_EQ(kovan_writer_add_array(w, a.name.c_str(), a.components, nullptr, 0, a.values.data()), KOVAN_OK);
        }
    }
    std::string file = finished_file(w);
    kovan_writer_free(w);
    return file;
}

// Relative precision of an encoding: six significant digits in ASCII, single
// precision, or exact.
double precision_of(uint32_t format) { return format == 3 ? 0.0 : format == 2 ? 1.2e-7 : 5e-6; }

bool near(double a, double b, double precision) {
    return a == b || std::fabs(a - b) <= precision * std::fabs(b);
}

void expect_file_holds(const std::string& file, const Mesh& mesh, const std::vector<Step>& steps,
                       uint32_t wedge_order, double precision) {
    const auto doc = open_text(file, wedge_order);
    // The node ids were given ascending, so points come back in point order.
    ASSERT_EQ(kovan_n_points(doc.get()), mesh.node_ids.size());
    for (size_t i = 0; i < mesh.points.size(); ++i) {
        EXPECT_TRUE(near(kovan_points(doc.get())[i], mesh.points[i], precision)) << "coordinate " << i;
    }
    ASSERT_EQ(kovan_n_cells(doc.get()), mesh.types.size());
    for (size_t c = 0; c < mesh.types.size(); ++c) {
        EXPECT_EQ(kovan_cell_types(doc.get())[c], mesh.types[c]);
        EXPECT_EQ(kovan_cell_ids(doc.get())[c], mesh.cell_ids[c]);
        EXPECT_EQ(kovan_cell_offsets(doc.get())[c + 1], mesh.offsets[c + 1]);
    }
    const int64_t* connectivity = kovan_cell_connectivity(doc.get());
    EXPECT_EQ(std::vector<int64_t>(connectivity, connectivity + mesh.connectivity.size()), mesh.connectivity);
    ASSERT_EQ(kovan_n_steps(doc.get()), steps.size());
    for (size_t s = 0; s < steps.size(); ++s) {
        double time = 0;
        ASSERT_EQ(kovan_step_time(doc.get(), s, &time), KOVAN_OK);
        EXPECT_EQ(time, steps[s].time);
        for (const Array& a : steps[s].arrays) {
            const std::vector<double> values = array_values(doc.get(), s, a.name.c_str());
            ASSERT_EQ(values.size(), a.values.size()) << a.name;
            for (size_t i = 0; i < values.size(); ++i) {
                EXPECT_TRUE(near(values[i], a.values[i], precision)) << a.name << " " << i;
            }
        }
    }
}

std::string rewritten(const std::string& file, int32_t format) {
    char* out = nullptr;
    uint64_t size = 0;
    EXPECT_EQ(kovan_rewrite_memory(file.data(), file.size(), format, &out, &size), KOVAN_OK) << kovan_last_error(nullptr);
    std::string result(out, size);
    kovan_free(out);
    return result;
}

TEST(RoundTrip, EveryCellTypeAndArrayInEveryFormatAndConversion) {
    const Mesh mesh = all_cell_types();
    const std::vector<Step> steps = steps_for(mesh.node_ids.size());
    for (uint32_t wedge_order : {0u, 1u}) {
        for (uint32_t format = 0; format <= 3; ++format) {
            SCOPED_TRACE("written in format " + std::to_string(format) + ", wedge_order " + std::to_string(wedge_order));
            const std::string file = write_file(format, mesh, steps, wedge_order);
            expect_file_holds(file, mesh, steps, wedge_order, precision_of(format));
            for (uint32_t target = 0; target <= 3; ++target) {
                if (target == format) continue;
                SCOPED_TRACE("converted to " + std::to_string(target));
                const double precision = std::max(precision_of(format), precision_of(target));
                expect_file_holds(rewritten(file, static_cast<int32_t>(target)), mesh, steps, wedge_order, precision);
            }
        }
    }
}

// NaN and infinity fill their 12 columns from the right, so a value of three
// exponent digits in the next field touches them ("NaN1.00000E+300").
TEST(RoundTrip, NaNAndInfinityBesideThreeDigitExponentsReadBack) {
    const double inf = HUGE_VAL, nan = std::nan("");
    Mesh mesh;
    mesh.node_ids = {1, 2};
    mesh.points = {nan, 1e300, -inf, inf, 1e-100, 5e-310};
    const std::vector<double> values = {nan, 1e300, -inf, inf, 1e-100, 2.5, -inf, 1e150, nan, 5e-310, 1.0, 2.0};
    const std::vector<Step> steps = {{1, 1.0, {{"S", 6, values}}}};
    for (uint32_t format : {0u, 1u, 3u}) {
        SCOPED_TRACE(format);
        const auto doc = open_text(write_file(format, mesh, steps, 0));
        ASSERT_EQ(kovan_n_points(doc.get()), 2u);
        const std::vector<double> points(kovan_points(doc.get()), kovan_points(doc.get()) + 6);
        EXPECT_TRUE(same_values(points, mesh.points));
        EXPECT_TRUE(same_values(array_values(doc.get(), 0, "S"), values));
    }
}

TEST(RoundTrip, WedgesAreStoredInFrdOrderForBothOrientations) {
    // Points a..f of a wedge; with wedge_order 1 the file holds a, c, b, d, f, e.
    const double points[18] = {0};
    const int64_t ids[6] = {1, 2, 3, 4, 5, 6};
    const uint8_t types[1] = {13};
    const int64_t offsets[2] = {0, 6}, connectivity[6] = {0, 1, 2, 3, 4, 5};
    for (uint32_t wedge_order : {0u, 1u}) {
        kovan_writer* w = kovan_writer_new(1);
        ASSERT_EQ(kovan_writer_set_nodes(w, 6, ids, points), KOVAN_OK);
        ASSERT_EQ(kovan_writer_set_cells(w, 1, types, offsets, connectivity, nullptr, wedge_order), KOVAN_OK);
        const std::string file = finished_file(w);
        kovan_writer_free(w);
        const char* expected = wedge_order == 1 ? " -2         1         3         2         4         6         5\n"
                                                : " -2         1         2         3         4         5         6\n";
        EXPECT_NE(file.find(expected), std::string::npos) << file;
    }
}

TEST(RoundTrip, HexahedronOfTwentyNodesIsStoredInFrdOrder) {
    std::vector<double> points(60, 0.0);
    std::vector<int64_t> connectivity(20);
    for (int k = 0; k < 20; ++k) connectivity[k] = k;
    const uint8_t types[1] = {25};
    const int64_t offsets[2] = {0, 20};
    kovan_writer* w = kovan_writer_new(1);
    ASSERT_EQ(kovan_writer_set_nodes(w, 20, nullptr, points.data()), KOVAN_OK);
    ASSERT_EQ(kovan_writer_set_cells(w, 1, types, offsets, connectivity.data(), nullptr, 0), KOVAN_OK);
    const std::string file = finished_file(w);
    kovan_writer_free(w);
    EXPECT_NE(file.find(" -2        11        12        17        18        19        20        13        14        15"
                        "        16\n"),
              std::string::npos);
}

}  // namespace
