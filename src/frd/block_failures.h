// Why a binary block cannot be read: one text for each cause, whichever
// reader finds it (the document's parse, the re-encoder's reader).
#pragma once

#include <cstdint>
#include <string>

#include "frd/block_end.h"
#include "frd/block_header.h"
#include "frd/keys.h"

namespace kovan {

// The text of a binary node, element or result block that failed (end
// kFailed: no record count, an element type of unknown node count) or that
// the end of the text cuts off (kIncomplete).
std::string binary_block_failure(BlockKey key, const BlockHeader& header, const BlockEnd& end);

}  // namespace kovan
