// Nodes and VTK cells handed to a Writer.
#pragma once

#include <cstdint>

#include "kovan.h"
#include "writer/writer.h"

namespace kovan {

// Replaces the node block; ids default to 1, 2, 3, ... A binary Writer
// refuses ids outside 32 bits (KOVAN_ERR_PARSE, the thread's text set).
kovan_status set_nodes(Writer& writer, uint64_t n_points, const int64_t* node_ids, const double* points);

// Replaces the element block, cell by cell, stopping at the first cell that
// fails (KOVAN_ERR_PARSE, the thread's text set); the cells before it stay.
struct CellInput {
    uint64_t n_cells;
    const uint8_t* types;
    const int64_t* offsets;
    const int64_t* connectivity;
    const int64_t* ids;  // may be null
    uint32_t wedge_order;
};
kovan_status set_cells(Writer& writer, const CellInput& cells);

}  // namespace kovan
