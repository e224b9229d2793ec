// Reading FRD bytes into blocks, keeping every line it cannot parse.
#pragma once

#include <cstdint>
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
// binary payloads must be whole, or the read fails with a text. `target` is
// the format the document will be written in (-1: each block in its own):
// in a block that keeps its format, a record that would not be written
// back exactly as it reads stays as it stood, its lines byte for byte.
BlockReadResult read_blocks(std::string_view bytes, int32_t target);

}  // namespace kovan
