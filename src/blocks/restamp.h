// Rewriting the format code that ends a block header line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "blocks/block_model.h"
#include "frd/keys.h"

namespace kovan {

// The key of the header line that opens a node, element or result block.
BlockKey key_of(const Block& block);

// Whether restamp can write a new code into the header: it states its format
// code, as reading the header of its kind takes it, in a single digit (a
// field such as "01" or "+1" would keep declaring its old code).
bool can_restamp(std::string_view header, BlockKey key);

// The header with its format code replaced by `code`; everything else, the
// record count and the terminator included, stays byte for byte. Unchanged
// when the header cannot be restamped.
std::string restamp(std::string_view header, BlockKey key, int32_t code);

}  // namespace kovan
