// Readers of node blocks ("2C") in their ASCII and binary encodings.
#pragma once

#include <cstdint>

#include "frd/block_header.h"
#include "frd/document.h"
#include "frd/line_cursor.h"

namespace kovan {

// Reads node lines up to and including the " -3" line; unreadable lines are
// skipped without a message.
void read_ascii_node_block(Document& doc, LineCursor& cursor, const BlockHeader& header);

// Reads `count` binary node records of the format (2 or 3) at the cursor;
// false, with nothing read, when the text does not hold them.
bool read_binary_node_block(Document& doc, LineCursor& cursor, int64_t count, int32_t format);

}  // namespace kovan
