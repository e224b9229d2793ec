// A real client: CalculiX's post-processor reads the files the Writer makes.
// It prints the extremes of each data set component it is asked for, which
// must be those of the arrays written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kovan.h"
#include "support/frd_text.h"

namespace fs = std::filesystem;

namespace {

struct Written {
    std::string name;
    uint32_t components;
    std::vector<double> values;
};

bool cgx_available() { return std::system("command -v cgx > /dev/null 2>&1") == 0; }

std::string write_two_bricks(uint32_t format, const std::vector<Written>& arrays) {
    std::vector<double> points;
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < 2; ++j) {
            for (int i = 0; i < 3; ++i) points.insert(points.end(), {double(i), double(j), double(k)});
        }
    }
    const uint8_t types[2] = {12, 12};
    const int64_t offsets[3] = {0, 8, 16};
    const int64_t connectivity[16] = {0, 1, 4, 3, 6, 7, 10, 9, 1, 2, 5, 4, 7, 8, 11, 10};
    kovan_writer* w = kovan_writer_new(format);
    EXPECT_EQ(kovan_writer_set_nodes(w, 12, nullptr, points.data()), KOVAN_OK);
    EXPECT_EQ(kovan_writer_set_cells(w, 2, types, offsets, connectivity, nullptr, 0), KOVAN_OK);
    for (size_t a = 0; a < arrays.size(); ++a) {
        EXPECT_EQ(kovan_writer_begin_step(w, static_cast<int32_t>(a + 1), 0.5 * double(a + 1)), KOVAN_OK);
        EXPECT_EQ(kovan_writer_add_array(w, arrays[a].name.c_str(), arrays[a].components, nullptr, 0,
                                         arrays[a].values.data()),
                  KOVAN_OK);
    }
    std::string file = kovan_test::finished_file(w);
    kovan_writer_free(w);
    return file;
}

struct Extremes {
    double max, min;
};

// Runs cgx on the file and returns the extremes it printed, data set by
// data set and component by component.
std::vector<Extremes> cgx_extremes(const fs::path& folder, const std::string& file,
                                   const std::vector<Written>& arrays) {
    std::ofstream(folder / "written.frd", std::ios::binary) << file;
    std::ofstream script(folder / "read.fbd");
    script << "read written.frd\n";
    for (size_t a = 0; a < arrays.size(); ++a) {
        for (uint32_t k = 1; k <= arrays[a].components; ++k) script << "ds " << a + 1 << " e " << k << "\n";
    }
    script << "quit\n";
    script.close();
    const std::string command =
        "cd '" + folder.string() + "' && cgx -bg read.fbd < /dev/null > cgx.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::ifstream log(folder / "cgx.log");
    std::stringstream content;
    content << log.rdbuf();
    const std::string text = content.str();
    // Lines " max:2.000000e+00 at node:12" and " min:-2.125000e+00 at node:1".
    std::vector<Extremes> found;
    for (size_t at = text.find(" max:"); at != std::string::npos; at = text.find(" max:", at + 1)) {
        const size_t min_at = text.find(" min:", at);
        if (min_at == std::string::npos) break;
        found.push_back({std::strtod(text.c_str() + at + 5, nullptr), std::strtod(text.c_str() + min_at + 5, nullptr)});
    }
    return found;
}

TEST(CgxClient, ReadsEveryDataSetOfEveryFormatWithItsValues) {
    if (!cgx_available()) GTEST_SKIP() << "cgx (Debian package calculix-cgx) is not installed";
    std::vector<Written> arrays = {{"DISP", 3, {}}, {"STRESS", 6, {}}, {"NT", 1, {}}};
    for (Written& a : arrays) {
        for (size_t i = 0; i < 12 * a.components; ++i) a.values.push_back(0.37 * double((i * 7919) % 101) - 17.0);
    }
    const fs::path folder = kovan_test::make_temp_folder("kovan_cgx_");
    for (uint32_t format = 0; format <= 3; ++format) {
        SCOPED_TRACE("format " + std::to_string(format));
        const std::vector<Extremes> printed = cgx_extremes(folder, write_two_bricks(format, arrays), arrays);
        size_t at = 0;
        for (const Written& a : arrays) {
            for (uint32_t k = 0; k < a.components; ++k, ++at) {
                ASSERT_LT(at, printed.size()) << "cgx printed no extremes for " << a.name << " component " << k + 1;
                double max = -1e300, min = 1e300;
                for (size_t p = 0; p < 12; ++p) {
                    max = std::max(max, a.values[p * a.components + k]);
                    min = std::min(min, a.values[p * a.components + k]);
                }
                EXPECT_NEAR(printed[at].max, max, 1e-5 * std::fabs(max)) << a.name << " component " << k + 1;
                EXPECT_NEAR(printed[at].min, min, 1e-5 * std::fabs(min)) << a.name << " component " << k + 1;
            }
        }
        EXPECT_EQ(printed.size(), at);
    }
    fs::remove_all(folder);
}

}  // namespace
