// Files written by CalculiX from the decks in tests/data: the mesh read back
// is the mesh each deck defines.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

const std::map<std::string, uint8_t> kVtkTypeOfDeckType = {
    {"C3D8", 12}, {"C3D20", 25}, {"C3D4", 10}, {"C3D10", 24}, {"C3D6", 13}, {"C3D15", 26},
};

DocumentHandle open_file(const std::string& name, uint32_t wedge_order = 0) {
    const kovan_open_options options{wedge_order, 0};
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_ex(data_path(name).c_str(), &options, &doc), KOVAN_OK) << kovan_last_error(nullptr);
    return DocumentHandle(doc);
}

// With FRD node order, every cell lists its nodes as the deck does: the
// deck's order of these types is VTK's.
void expect_deck_mesh(const std::string& frd, const std::string& deck) {
    SCOPED_TRACE(frd);
    const DeckMesh mesh = read_deck_mesh(data_path(deck));
    const auto doc = open_file(frd);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(kovan_n_points(doc.get()), mesh.nodes.size());
    uint64_t p = 0;
    for (const auto& [id, xyz] : mesh.nodes) {
        EXPECT_EQ(kovan_node_ids(doc.get())[p], id);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(kovan_points(doc.get())[3 * p + k], xyz[k], 1e-6);
        ++p;
    }
    ASSERT_EQ(kovan_n_cells(doc.get()), mesh.elements.size());
    for (uint64_t c = 0; c < mesh.elements.size(); ++c) {
        const DeckElement& element = mesh.elements[c];
        EXPECT_EQ(kovan_cell_ids(doc.get())[c], element.id);
        EXPECT_EQ(kovan_cell_types(doc.get())[c], kVtkTypeOfDeckType.at(element.type));
        EXPECT_EQ(cell_node_ids(doc.get(), c), element.nodes);
    }
    EXPECT_EQ(kovan_n_diagnostics(doc.get()), 0u);
}

TEST(SolverFiles, MeshesReadBackAsTheDecksDefineThem) {
    expect_deck_mesh("hex8_static.frd", "hex8_static.inp");
    expect_deck_mesh("tet4_high_ids.frd", "tet4_high_ids.inp");
    expect_deck_mesh("wedges.frd", "wedges.inp");
    expect_deck_mesh("hex20_binary.frd", "hex20_binary.inp");
    expect_deck_mesh("hex20_cgx_short.frd", "hex20_binary.inp");
    expect_deck_mesh("beam_frequency.frd", "beam_frequency.inp");
}

std::vector<double> step_times(const kovan_document* doc) {
    std::vector<double> times(kovan_n_steps(doc));
    for (uint64_t s = 0; s < times.size(); ++s) EXPECT_EQ(kovan_step_time(doc, s, &times[s]), KOVAN_OK);
    return times;
}

TEST(SolverFiles, IncrementsAndModesAreStepsOfTheirOwn) {
    EXPECT_EQ(step_times(open_file("hex8_static.frd").get()), (std::vector<double>{0.5, 1.0}));
    // The first two bending modes of the square beam share their frequency.
    const auto modes = step_times(open_file("beam_frequency.frd").get());
    ASSERT_EQ(modes.size(), 4u);
    EXPECT_EQ(modes[0], modes[1]);
    EXPECT_LT(modes[1], modes[2]);
    EXPECT_LT(modes[2], modes[3]);
}

TEST(SolverFiles, BinaryResultBlocksAreLocated) {
    const auto doc = parse_text(read_file(data_path("hex20_binary.frd")));
    ASSERT_EQ(doc->steps.size(), 1u);
    ASSERT_GE(doc->steps[0].blocks.size(), 2u);
    const kovan::BlockRef& disp = doc->steps[0].blocks[0];
    EXPECT_EQ(disp.name, "DISP");
    EXPECT_EQ(disp.format, 2);
    EXPECT_EQ(disp.components, 3);
    EXPECT_EQ(disp.end - disp.begin, 32u * 16u);
    EXPECT_EQ(doc->steps[0].blocks[1].name, "STRESS");
    EXPECT_EQ(doc->steps[0].blocks[1].components, 6);
}

// Positive when the first triangle's right-hand normal points away from the
// opposite face, as VTK wants it.
double vtk_wedge_orientation(const kovan_document* doc, uint64_t cell) {
    const double* p = kovan_points(doc);
    const int64_t* c = kovan_cell_connectivity(doc) + kovan_cell_offsets(doc)[cell];
    auto at = [&](int k, int axis) { return p[3 * c[k] + axis]; };
    double u[3], v[3], w[3];
    for (int a = 0; a < 3; ++a) {
        u[a] = at(1, a) - at(0, a);
        v[a] = at(2, a) - at(0, a);
        w[a] = at(3, a) - at(0, a);
    }
    const double normal[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return -(normal[0] * w[0] + normal[1] * w[1] + normal[2] * w[2]);
}

TEST(SolverFiles, WedgeOrderOneTurnsBothCalculiXWedgesRightSideOut) {
    const auto frd_order = open_file("wedges.frd", 0);
    const auto turned = open_file("wedges.frd", 1);
    ASSERT_EQ(kovan_n_cells(turned.get()), 2u);
    for (uint64_t cell : {0u, 1u}) {
        EXPECT_LT(vtk_wedge_orientation(frd_order.get(), cell), 0.0) << cell;
        EXPECT_GT(vtk_wedge_orientation(turned.get(), cell), 0.0) << cell;
    }
}

TEST(SolverFiles, QuadraticWedgeMidSideNodesSitOnTheirVtkEdges) {
    const int edges[9][3] = {{6, 0, 1}, {7, 1, 2}, {8, 2, 0}, {9, 3, 4}, {10, 4, 5}, {11, 5, 3},
                             {12, 0, 3}, {13, 1, 4}, {14, 2, 5}};
    for (uint32_t wedge_order : {0u, 1u}) {
        const auto doc = open_file("wedges.frd", wedge_order);
        const double* p = kovan_points(doc.get());
        const int64_t* c = kovan_cell_connectivity(doc.get()) + kovan_cell_offsets(doc.get())[1];
        for (const auto& e : edges) {
            for (int a = 0; a < 3; ++a) {
                EXPECT_DOUBLE_EQ(p[3 * c[e[0]] + a], 0.5 * (p[3 * c[e[1]] + a] + p[3 * c[e[2]] + a]))
                    << "wedge_order " << wedge_order << ", VTK node " << e[0];
            }
        }
    }
}

}  // namespace
