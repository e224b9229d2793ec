// Locating the records of a result block ("100C") without decoding them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "frd/document.h"
#include "frd/line_cursor.h"

namespace kovan {

// Reads the block after its "100C" line and appends a BlockRef to the step
// when its records can be located; a block that cannot be is left out.
void locate_result_block(LineCursor& cursor, StepEntry& step, int64_t node_count, int32_t format,
                         std::vector<std::string_view>& tokens);

}  // namespace kovan
