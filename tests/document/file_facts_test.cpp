// What CalculiX's files say besides their values (materials, node sets,
// modes, component names), against the decks the solver ran and what it
// printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

std::vector<std::string> component_names(kovan_document* doc, uint64_t step, uint64_t array) {
    kovan_array_info info{};
    EXPECT_EQ(kovan_array_info_at(doc, step, array, &info), KOVAN_OK);
    std::vector<std::string> names;
    for (uint32_t k = 0; k < info.n_components; ++k) {
        const char* name = nullptr;
        EXPECT_EQ(kovan_array_component_name(doc, step, array, k, &name), KOVAN_OK);
        names.emplace_back(name);
    }
    return names;
}

uint64_t points_with_values(kovan_document* doc, const char* name) {
    uint64_t count = 0;
    EXPECT_EQ(kovan_array_points_with_values(doc, 0, static_cast<uint64_t>(kovan_find_array(doc, 0, name)), &count),
              KOVAN_OK);
    return count;
}

// The "-5" names of each stored component after each "-4" line, by block
// name, read from the file's text lines as a person would.
std::map<std::string, std::vector<std::string>> stated_component_names(const std::string& path) {
    std::map<std::string, std::vector<std::string>> stated;
    std::ifstream in(path, std::ios::binary);
    std::string line, block;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string field; fields >> field;) f.push_back(field);
        if (f.size() >= 2 && f[0] == "-4") stated[block = f[1]].clear();
        if (f.size() >= 2 && f[0] == "-5" && !block.empty() && (f.size() < 7 || f[6][0] != '1')) {
            stated[block].push_back(f[1]);
        }
        if (f.empty() || (f[0] != "-4" && f[0] != "-5")) block.clear();
    }
    return stated;
}

struct PrintedMode {
    double eigenvalue = 0.0;
    double frequency = 0.0;  // cycles per time
};

// The eigenvalue table of a cyclic run's .dat file: nodal diameter and mode
// to eigenvalue and frequency.
std::map<std::pair<int64_t, int64_t>, PrintedMode> printed_modes(const std::string& path) {
    std::map<std::pair<int64_t, int64_t>, PrintedMode> modes;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        int64_t diameter = 0, mode = 0;
        double eigenvalue = 0.0, radians = 0.0, cycles = 0.0, imaginary = 0.0;
        if (fields >> diameter >> mode >> eigenvalue >> radians >> cycles >> imaginary) {
            modes[{diameter, mode}] = PrintedMode{eigenvalue, cycles};
        }
    }
    return modes;
}

bool close_to(double a, double b, double relative) { return std::fabs(a - b) <= relative * std::fabs(b); }

TEST(FileFacts, MaterialsHeadingAndEachCellsMaterialAreTheDecks) {
    const DeckMesh deck = read_deck_mesh(data_path("two_materials.inp"));
    const auto doc = open_data_file("two_materials.frd");
    std::map<int64_t, std::string> material_names;
    ASSERT_EQ(kovan_n_materials(doc.get()), deck.materials.size());
    for (uint64_t i = 0; i < deck.materials.size(); ++i) {
        int64_t number = 0;
        const char* name = nullptr;
        ASSERT_EQ(kovan_material_at(doc.get(), i, &number, &name), KOVAN_OK);
        EXPECT_EQ(name, deck.materials[i]);
        material_names[number] = name;
    }
    const int32_t* materials = kovan_cell_materials(doc.get());
    const int64_t* ids = kovan_cell_ids(doc.get());
    ASSERT_EQ(kovan_n_cells(doc.get()), deck.elements.size());
    for (uint64_t c = 0; c < deck.elements.size(); ++c) {
        EXPECT_EQ(material_names[materials[c]], deck.material_of_set.at(deck.element_set.at(ids[c]))) << ids[c];
    }
    const char *key = nullptr, *value = nullptr;
    ASSERT_EQ(kovan_header_record_at(doc.get(), 0, &key, &value), KOVAN_OK);
    EXPECT_STREQ(key, "");
    EXPECT_EQ(value, deck.heading);
}

// The solver wrote results for the node set OUTER only: the other nodes
// have no value, read 0.0 by default and NaN on request, in the derived
// arrays too.
TEST(FileFacts, NodesOutsideTheOutputSetHaveNoValue) {
    const DeckMesh deck = read_deck_mesh(data_path("two_materials.inp"));
    const std::vector<int64_t>& outer = deck.node_sets.at("OUTER");
    const auto zeros = open_data_file("two_materials.frd");
    const auto nans = open_data_file("two_materials.frd", KOVAN_OPEN_MISSING_AS_NAN);
    for (const char* name : {"DISP", "STRESS", "STRESS_Mises", "STRESS_PS1"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(points_with_values(zeros.get(), name), outer.size());
        const std::vector<double> with_zeros = array_values(zeros.get(), 0, name);
        const std::vector<double> with_nans = array_values(nans.get(), 0, name);
        const uint64_t n_points = kovan_n_points(zeros.get());
        const uint64_t width = with_zeros.size() / n_points;
        for (uint64_t p = 0; p < n_points; ++p) {
            const bool in_set = std::count(outer.begin(), outer.end(), kovan_node_ids(zeros.get())[p]) > 0;
            for (uint64_t k = p * width; k < (p + 1) * width; ++k) {
                EXPECT_EQ(std::isnan(with_nans[k]), !in_set) << p;
                EXPECT_EQ(in_set ? with_nans[k] : 0.0, with_zeros[k]) << p;
            }
        }
    }
}

// In file order the steps go nodal diameter by nodal diameter; each has
// the frequency and eigenvalue the solver printed for its diameter and mode.
TEST(FileFacts, CyclicModesCarryTheirNodalDiameterAndModeAsPrinted) {
    const auto printed = printed_modes(data_path("cyclic_modal.dat"));
    const auto in_file_order = open_data_file("cyclic_modal.frd", KOVAN_OPEN_FILE_ORDER);
    const auto by_value = open_data_file("cyclic_modal.frd");
    const uint64_t n = kovan_n_steps(in_file_order.get());
    ASSERT_EQ(n, kovan_n_steps(by_value.get()));
    ASSERT_GT(n, 3u);
    int64_t previous_diameter = -1;
    std::set<uint64_t> places;
    for (uint64_t s = 0; s < n; ++s) {
        kovan_step_info info{}, sorted{};
        ASSERT_EQ(kovan_step_info_at(in_file_order.get(), s, &info), KOVAN_OK);
        const uint32_t stated = KOVAN_STEP_HAS_MODE | KOVAN_STEP_HAS_NODAL_DIAMETER | KOVAN_STEP_HAS_GENERALISED_STIFFNESS;
        ASSERT_EQ(info.flags & stated, stated);
        EXPECT_EQ(info.file_index, s);
        EXPECT_GE(info.nodal_diameter, previous_diameter);
        previous_diameter = info.nodal_diameter;
        const PrintedMode& mode = printed.at({info.nodal_diameter, info.mode});
        EXPECT_TRUE(close_to(info.value, mode.frequency, 2e-7)) << info.value_text;
        EXPECT_TRUE(close_to(info.generalised_stiffness, mode.eigenvalue, 2e-7));
        EXPECT_EQ(info.analysis, 2);
        EXPECT_STREQ(info.analysis_text, "MODAL");
        ASSERT_EQ(kovan_step_info_at(by_value.get(), s, &sorted), KOVAN_OK);
        places.insert(sorted.file_index);
        if (s > 0) {
            double before = 0.0;
            kovan_step_time(by_value.get(), s - 1, &before);
            EXPECT_LE(before, sorted.value);
        }
    }
    EXPECT_EQ(places.size(), n);  // sorting by value keeps every step, each telling its place
}

TEST(FileFacts, ComponentNamesAreThoseOfTheComponentLines) {
    std::set<std::string> seen;
    for (const auto& entry : std::filesystem::directory_iterator(KOVAN_TEST_DATA_DIR)) {
        if (entry.path().extension() != ".frd") continue;
        SCOPED_TRACE(entry.path().string());
        const auto stated = stated_component_names(entry.path().string());
        const auto doc = open_data_file(entry.path().filename().string());
        for (uint64_t s = 0; s < kovan_n_steps(doc.get()); ++s) {
            const std::vector<std::string> names = array_names(doc.get(), s);
            for (uint64_t a = 0; a < names.size(); ++a) {
                if (stated.count(names[a]) == 0) continue;  // derived
                EXPECT_EQ(component_names(doc.get(), s, a), stated.at(names[a])) << names[a];
                seen.insert(names[a]);
            }
        }
    }
    EXPECT_EQ(seen.count("CONTACT"), 1u);
    EXPECT_EQ(seen.count("DISPI"), 1u);  // in binary blocks
    // A block without "-5" names, and the arrays derived from a tensor.
    const auto doc = open_text(
        "    2C                             1                                     1\n"
        " -1         1 0.00000E+00 0.00000E+00 0.00000E+00\n -3\n"
        "  100CL  101 1.000000000           1                     0    1           1\n"
        " -4  STRESS      6    1\n"
        " -1         1 1.00000E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n -3\n");
    EXPECT_EQ(component_names(doc.get(), 0, 0), (std::vector<std::string>{"XX", "YY", "ZZ", "XY", "YZ", "XZ"}));
    EXPECT_EQ(component_names(doc.get(), 0, 1), (std::vector<std::string>{"Mises"}));
}

}  // namespace
