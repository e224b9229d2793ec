// Helpers shared by the tests: opening texts, building binary records and
// reading the meshes of CalculiX decks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "kovan.h"

namespace kovan_test {

struct DocumentCloser {
    void operator()(kovan_document* doc) const { kovan_close(doc); }
};
using DocumentHandle = std::unique_ptr<kovan_document, DocumentCloser>;

// Opens a text that must open; fails the test otherwise.
DocumentHandle open_text(std::string_view text, uint32_t wedge_order = 0);
// Opens a file of tests/data that must open, with the KOVAN_OPEN_* flags.
DocumentHandle open_data_file(const std::string& name, uint32_t flags = 0);

// Parses a text straight into a Document, for tests of what the parse keeps
// internally (the step index).
std::unique_ptr<kovan::Document> parse_text(std::string_view text);

std::string last_error_of(const kovan_document* doc);
std::vector<kovan_diagnostic> diagnostics_of(const kovan_document* doc);

// The mesh of a document as node numbers, for comparisons with decks.
std::vector<int64_t> cell_node_ids(const kovan_document* doc, uint64_t cell);

// The values of a step's array of that name; fails the test when absent.
std::vector<double> array_values(kovan_document* doc, uint64_t step, const char* name);
std::vector<std::string> array_names(kovan_document* doc, uint64_t step);

// Finishes a Writer that must finish and returns its file.
std::string finished_file(kovan_writer* writer);

// Little-endian binary record fields.
void put_i32(std::string& out, int32_t value);
void put_f32(std::string& out, float value);
void put_f64(std::string& out, double value);

std::string read_file(const std::string& path);
// A new, empty folder of its own under the system's temporary folder.
std::string make_temp_folder(const std::string& prefix);
std::string data_path(const std::string& name);

// The *NODE and *ELEMENT sections of a CalculiX input deck.
struct DeckElement {
    int64_t id = 0;
    std::string type;  // "C3D8", ...
    std::vector<int64_t> nodes;
};
struct DeckMesh {
    std::map<int64_t, std::vector<double>> nodes;
    std::vector<DeckElement> elements;
    // And what the deck says besides: its heading, node sets, the element
    // set each *ELEMENT section names, each section's material, and the
    // materials in the order the deck defines them (names upper case).
    std::string heading;
    std::map<std::string, std::vector<int64_t>> node_sets;
    std::map<int64_t, std::string> element_set;
    std::map<std::string, std::string> material_of_set;
    std::vector<std::string> materials;
};
DeckMesh read_deck_mesh(const std::string& path);

}  // namespace kovan_test
