// The Document behind an open handle: the FRD text, its mesh, its step index
// and the cache of decoded steps.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/step_index.h"
#include "kovan.h"

namespace kovan {

using Diagnostic = kovan_diagnostic;

struct StepSlot;  // a step decoded on demand, made by src/results

struct Document {
    std::string text;
    uint64_t options = 0;  // the kovan_open_options record; only wedge_order is consulted

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
    std::vector<StepEntry> steps;  // ascending time once parsed

    // One slot per step, empty until the step is first asked for; the lock
    // guards finding and creating slots, never a decode.
    std::vector<std::shared_ptr<StepSlot>> step_slots;
    std::mutex lock;
    std::atomic<uint64_t> steps_parsed{0};

    // Every text this document hands out lives until it is closed: the
    // parse's failure text, set once, and each failed step's, kept with its
    // step. The latest failure points to one of them and is replaced whole,
    // so that a thread reading it never sees it change under it.
    std::string parse_error;
    std::atomic<const char*> last_error{""};

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
