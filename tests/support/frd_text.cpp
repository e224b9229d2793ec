#include "support/frd_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <fstream>
#include <sstream>

#include "document/parse_driver.h"

namespace kovan_test {

DocumentHandle open_text(std::string_view text, uint32_t wedge_order) {
    const kovan_open_options options{wedge_order, 0};
    kovan_document* doc = nullptr;
    const kovan_status status = kovan_open_memory(text.data(), text.size(), &options, &doc);
    EXPECT_EQ(status, KOVAN_OK) << kovan_last_error(nullptr);
    return DocumentHandle(doc);
}

DocumentHandle open_data_file(const std::string& name, uint32_t flags) {
    const kovan_open_options options{0, flags};
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_ex(data_path(name).c_str(), &options, &doc), KOVAN_OK) << kovan_last_error(nullptr);
    return DocumentHandle(doc);
}

std::unique_ptr<kovan::Document> parse_text(std::string_view text) {
    auto doc = std::make_unique<kovan::Document>();
    doc->source = kovan::memory_source(std::string(text));
    doc->size = text.size();
    EXPECT_EQ(kovan::parse_document(*doc), KOVAN_OK) << doc->parse_error;
    return doc;
}

std::string last_error_of(const kovan_document* doc) { return kovan_last_error(doc); }

std::vector<kovan_diagnostic> diagnostics_of(const kovan_document* doc) {
    std::vector<kovan_diagnostic> all(kovan_n_diagnostics(doc));
    for (uint64_t i = 0; i < all.size(); ++i) EXPECT_EQ(kovan_diagnostic_at(doc, i, &all[i]), KOVAN_OK);
    return all;
}

std::vector<int64_t> cell_node_ids(const kovan_document* doc, uint64_t cell) {
    const int64_t* offsets = kovan_cell_offsets(doc);
    const int64_t* connectivity = kovan_cell_connectivity(doc);
    const int64_t* ids = kovan_node_ids(doc);
    std::vector<int64_t> nodes;
    for (int64_t k = offsets[cell]; k < offsets[cell + 1]; ++k) nodes.push_back(ids[connectivity[k]]);
    return nodes;
}

std::vector<double> array_values(kovan_document* doc, uint64_t step, const char* name) {
    const int64_t index = kovan_find_array(doc, step, name);
    EXPECT_GE(index, 0) << name << ": " << kovan_last_error(doc);
    if (index < 0) return {};
    kovan_array_info info{};
    EXPECT_EQ(kovan_array_info_at(doc, step, static_cast<uint64_t>(index), &info), KOVAN_OK);
    const double* values = nullptr;
    EXPECT_EQ(kovan_array_data(doc, step, static_cast<uint64_t>(index), &values), KOVAN_OK);
    if (values == nullptr) return {};
    return std::vector<double>(values, values + info.n_tuples * info.n_components);
}

std::vector<std::string> array_names(kovan_document* doc, uint64_t step) {
    uint64_t n = 0;
    EXPECT_EQ(kovan_n_arrays(doc, step, &n), KOVAN_OK) << kovan_last_error(doc);
    std::vector<kovan_array_info> infos(n);
    EXPECT_EQ(kovan_array_info_range(doc, step, 0, n, infos.data()), KOVAN_OK);
    std::vector<std::string> names;
    for (const auto& info : infos) names.emplace_back(info.name);
    return names;
}

std::string finished_file(kovan_writer* writer) {
    char* out = nullptr;
    uint64_t size = 0;
    EXPECT_EQ(kovan_writer_finish(writer, &out, &size), KOVAN_OK) << kovan_last_error(nullptr);
    if (out == nullptr) return {};
    EXPECT_EQ(out[size], '\0');
    std::string file(out, size);
    kovan_free(out);
    return file;
}

void put_i32(std::string& out, int32_t value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

void put_f32(std::string& out, float value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

void put_f64(std::string& out, double value) {
    char bytes[8];
    std::memcpy(bytes, &value, 8);
    out.append(bytes, 8);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string make_temp_folder(const std::string& prefix) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto path = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(path)) return path.string();
    }
    ADD_FAILURE() << "no temporary folder could be made";
    return std::filesystem::temp_directory_path().string();
}

std::string data_path(const std::string& name) { return std::string(KOVAN_TEST_DATA_DIR) + "/" + name; }

namespace {

std::vector<std::string> split_commas(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ',')) fields.push_back(field);
    return fields;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string option_value(const std::string& keyword_line, const std::string& option) {
    for (std::string field : split_commas(upper(keyword_line))) {
        field.erase(std::remove(field.begin(), field.end(), ' '), field.end());
        const auto eq = field.find('=');
        if (eq != std::string::npos && field.substr(0, eq) == option) return field.substr(eq + 1);
    }
    return "";
}

}  // namespace

DeckMesh read_deck_mesh(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    DeckMesh mesh;
    std::string line, section, element_type, set;
    bool continues = false;
    while (std::getline(in, line)) {
        if (line.rfind("**", 0) == 0 || line.empty()) continue;
        if (line[0] == '*') {
            section = upper(split_commas(line)[0]);
            if (section == "*ELEMENT") element_type = option_value(line, "TYPE");
            set = option_value(line, section == "*NSET" ? "NSET" : "ELSET");
            if (section == "*MATERIAL") mesh.materials.push_back(option_value(line, "NAME"));
            if (section == "*SOLID SECTION") mesh.material_of_set[set] = option_value(line, "MATERIAL");
            continues = false;
            continue;
        }
        if (section == "*HEADING" && mesh.heading.empty()) mesh.heading = line;
        if (section == "*NSET") {
            for (const std::string& field : split_commas(line)) mesh.node_sets[set].push_back(std::stoll(field));
        }
        if (section != "*NODE" && section != "*ELEMENT") continue;
        std::vector<double> reals;
        for (const std::string& field : split_commas(line)) {
            if (field.find_first_not_of(" \t\r") == std::string::npos) continue;
            reals.push_back(std::stod(field));
        }
        if (section == "*NODE") {
            mesh.nodes[static_cast<int64_t>(reals[0])] = {reals.begin() + 1, reals.end()};
        } else if (section == "*ELEMENT") {
            if (!continues) mesh.elements.push_back({static_cast<int64_t>(reals[0]), element_type, {}});
            if (!continues) mesh.element_set[static_cast<int64_t>(reals[0])] = set;
            auto& nodes = mesh.elements.back().nodes;
            for (size_t i = continues ? 0 : 1; i < reals.size(); ++i) nodes.push_back(static_cast<int64_t>(reals[i]));
            continues = line.find_last_not_of(" \t\r") != std::string::npos && line[line.find_last_not_of(" \t\r")] == ',';
        }
    }
    return mesh;
}

}  // namespace kovan_test
