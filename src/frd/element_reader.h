// Readers of element blocks ("3C") in their ASCII and binary encodings.
#pragma once

#include <cstdint>

#include "frd/block_header.h"
#include "frd/document.h"
#include "frd/line_cursor.h"

namespace kovan {

// Reads element lines up to and including the " -3" line; malformed
// elements leave diagnostics instead of failing.
void read_ascii_element_block(Document& doc, LineCursor& cursor, const BlockHeader& header);

// Reads `count` binary element records at the cursor; false when they run
// past the text or name an unknown element type.
bool read_binary_element_block(Document& doc, LineCursor& cursor, int64_t count);

}  // namespace kovan
