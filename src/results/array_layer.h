// Laying a result block's records on the mesh, one row of values per point.
#pragma once

#include <cstdint>
#include <string>

#include "frd/document.h"
#include "results/step_results.h"

namespace kovan {

// Takes records as they are read. The first record fixes the component
// count; a record of one value fills every component of its point; a record
// of any other count sets KOVAN_ERR_COMPONENTS (the first such record's
// message is kept). Nodes outside the mesh are passed over.
struct ArrayLayer {
    const Document* doc = nullptr;
    // Refuse a record whose node number does not exceed the previous one's:
    // a strictly ascending run cannot repeat a node, so records laid as they
    // come are final.
    bool ascending_only = false;
    ResultArray array;  // values zeroed and sized on the first record
    bool empty = true;  // no record has arrived
    uint32_t status = KOVAN_OK;
    std::string error;
    uint64_t point = UINT64_MAX;  // the previous record's point
    int64_t last_node = 0;

    void expect(uint64_t /*records*/, uint64_t /*components*/) {}
    bool add(int64_t node, const double* values, uint64_t n);
};

}  // namespace kovan
