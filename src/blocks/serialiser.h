// The one place that turns blocks into FRD bytes.
#pragma once

#include <cstdint>
#include <string>

#include "blocks/block_model.h"

namespace kovan {

// Target: a format code 0..3 for every node, element and result block, or
// -1 to write each block in its own format.
constexpr int32_t kKeepFormats = -1;

std::string serialise(const BlockDocument& document, int32_t target);

}  // namespace kovan
