// The one place that turns blocks into FRD bytes.
#pragma once

#include <cstdint>
#include "blocks/output_text.h"

#include "blocks/block_model.h"

namespace kovan {

// Target: a format code 0..3 for every node, element and result block, or
// -1 to write each block in its own format.
constexpr int32_t kKeepFormats = -1;

OutputText serialise(const BlockDocument& document, int32_t target);

}  // namespace kovan
