// The Writer: a future FRD file kept as blocks until it is finished.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "blocks/block_model.h"

namespace kovan {

struct Writer {
    uint32_t format = 1;  // 0..3, fixed at creation
    std::string line_terminator = "\n";
    bool finished = false;
    std::vector<int64_t> node_ids;  // one per point, in point order
    Block node_block;               // a text block until nodes are set
    Block element_block;            // a text block until cells are set
    std::vector<Block> result_blocks;  // a step line block, then a result block, per array
    bool step_open = false;
    int32_t step_number = 0;
    double step_time = 0.0;
};

}  // namespace kovan
