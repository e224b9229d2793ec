// Whether a block document can be written in a target format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "blocks/block_model.h"

namespace kovan {

// Nothing when every block can be written in `target` (always so for -1);
// else the full failure text, naming the first block that cannot.
std::optional<std::string> conversion_refusal(const BlockDocument& document, int32_t target);

}  // namespace kovan
