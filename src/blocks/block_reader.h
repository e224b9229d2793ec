// Reading FRD bytes into blocks, keeping every line it cannot parse.
#pragma once

#include <string>
#include <string_view>

#include "blocks/block_model.h"

namespace kovan {

struct BlockReadResult {
    bool ok = false;
    BlockDocument document;
    std::string error;  // why the bytes could not be read, when !ok
};

// ASCII lines that do not read as records become raw entries in place;
// binary payloads must be whole, or the read fails with a text.
BlockReadResult read_blocks(std::string_view bytes);

}  // namespace kovan
