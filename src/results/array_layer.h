// Laying a result block's records on the mesh, one row of values per point.
#pragma once

#include <cstdint>
#include <string>

#include "document/array_pool.h"
#include "document/mesh.h"
#include "frd/line_cursor.h"
#include "frd/result_records.h"
#include "results/step_results.h"

namespace kovan {

// Takes records as they are read. The first record fixes the component
// count; a record of one value fills every component of its point; a record
// of any other count sets KOVAN_ERR_COMPONENTS (the first such record's
// message is kept). Nodes outside the mesh are passed over.
struct ArrayLayer {
    const Mesh* mesh = nullptr;
    ArrayPool* pool = nullptr;  // where the array's memory comes from; may be null
    double missing = 0.0;       // the value of points no record gives one
    // Refuse a record whose node number does not exceed the previous one's:
    // a strictly ascending run cannot repeat a node, so records laid as they
    // come are final.
    bool ascending_only = false;
    ResultArray array;  // complete, `missing` where no record came, once finish() is called
    bool empty = true;  // no record has arrived
    uint32_t status = KOVAN_OK;
    std::string error;
    uint64_t point = UINT64_MAX;  // the previous record's point
    int64_t last_node = 0;

    uint64_t filled = 0;  // rows written so far, zeros included

    // The sink of walk_result_records.
    void expect(uint64_t /*records*/, uint64_t /*components*/) {}
    bool record(const ResultRecordRead& r) { return add(r.node, r.values, r.count); }
    void other_line(const Line&) {}

    inline bool add(int64_t node, const double* values, uint64_t n);
    void finish();  // `missing` for the points after the last record

    bool add_any(int64_t node, const double* values, uint64_t n);
    double* row(uint64_t point);
};

// The common case inline: the mesh's next node, right after the last row
// written, with the block's own value count.
inline bool ArrayLayer::add(int64_t node, const double* values, uint64_t n) {
    const uint64_t next = point + 1;  // 0 before the first record
    if (!empty && status == KOVAN_OK && node > last_node && n == array.n_components && next == filled &&
        next < mesh->node_ids.size() && mesh->node_ids[next] == node) {
        last_node = node;
        point = next;
        filled = next + 1;
        ++array.points_with_values;
        array.values.insert(array.values.end(), values, values + n);
        return true;
    }
    return add_any(node, values, n);
}

}  // namespace kovan
