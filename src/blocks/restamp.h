// Rewriting the format code that ends a block header line.
#pragma once

#include <cstdint>
#include <string>

#include "blocks/block_model.h"

namespace kovan {

// The block's header line with its format code replaced by `code`, where
// the header states it in one digit as read; otherwise, and for `code`
// outside 0 .. 3, the header as it stands. Everything else, the record
// count and the terminator included, stays byte for byte.
std::string restamped_header(const Block& block, int32_t code);

}  // namespace kovan
