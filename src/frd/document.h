// The Document behind an open handle: the FRD text, its mesh, its step index
// and the cache of decoded steps.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "frd/continuation_fields.h"
#include "frd/step_key.h"
#include "kovan.h"
#include "results/step_results.h"

namespace kovan {

// One located result block: where its records lie in the text.
struct BlockRef {
    std::string name;  // from the "-4" line; "Unknown" when none came first
    uint64_t begin = 0;
    uint64_t end = 0;
    uint64_t line = 0;       // line number at the start of the records
    int32_t format = 1;      // 1 for ASCII, 2 or 3 for binary
    int32_t components = 0;  // values per binary record; 0 for ASCII
    int32_t id_width = 10;   // node number columns of an ASCII block: 5 in format 0
};

struct StepEntry {
    double time = 0.0;
    bool has_set_number = false;  // false when the "100" line gave none
    int64_t set_number = 0;
    std::vector<BlockRef> blocks;  // in file order
};

using Diagnostic = kovan_diagnostic;

struct Document {
    std::string text;
    uint64_t options = 0;  // the kovan_open_options record; only wedge_order is consulted

    // Scratch of the parse, released when it ends (except the raw node index).
    std::vector<int64_t> raw_node_ids;       // in order of first appearance
    std::vector<double> raw_coordinates;     // x, y, z per raw node
    // Built only once a node arrives out of ascending order: a strictly
    // ascending run cannot repeat a node, and CalculiX writes nodes in order.
    std::unordered_map<int64_t, uint64_t> raw_node_index;
    bool raw_nodes_ascending = true;
    std::vector<int64_t> raw_element_nodes;    // node numbers in VTK order, element after element
    std::vector<uint64_t> raw_element_ends;    // end of each element in raw_element_nodes
    std::vector<uint8_t> raw_element_types;
    std::vector<int64_t> raw_element_ids;

    // Width of element continuation fields when neither the block header nor
    // its first element line tells it; decided once per document.
    DocumentFieldWidth continuation_width;

    // The mesh, fixed once the parse ends.
    std::vector<int64_t> node_ids;  // ascending
    std::vector<double> points;     // x, y, z per node id
    // Node id to point: node ids without gaps need no map (first_id is then
    // node_ids[0]); any others are looked up in point_index.
    bool dense_ids = false;
    int64_t first_id = 0;
    std::unordered_map<int64_t, uint64_t> point_index;
    std::vector<uint8_t> cell_types;
    std::vector<int64_t> cell_ids;
    std::vector<int64_t> cell_offsets;  // n_cells + 1 entries, starting at 0
    std::vector<int64_t> connectivity;  // point indices

    std::vector<Diagnostic> diagnostics;
    std::vector<StepEntry> steps;                            // ascending time once parsed
    std::map<StepKey, uint64_t, StepKeyLess> step_key_index;  // used while parsing only

    std::vector<std::unique_ptr<StepResults>> step_results;  // one slot per step
    std::mutex lock;                                          // guards step_results
    std::atomic<uint64_t> steps_parsed{0};
    std::string last_error;

    uint32_t wedge_order() const { return static_cast<uint32_t>(options & 0xFFFFFFFFu); }
};

// The point of a node id, or UINT64_MAX when the mesh has no such node.
inline uint64_t find_point(const Document& doc, int64_t id) {
    if (doc.dense_ids) {
        if (id < doc.first_id) return UINT64_MAX;
        const auto point = static_cast<uint64_t>(id) - static_cast<uint64_t>(doc.first_id);
        return point < doc.node_ids.size() ? point : UINT64_MAX;
    }
    const auto it = doc.point_index.find(id);
    return it == doc.point_index.end() ? UINT64_MAX : it->second;
}

}  // namespace kovan
