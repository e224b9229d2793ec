// Buffers handed to the caller, released with kovan_free.
#pragma once

#include <cstdint>
#include "blocks/output_text.h"

namespace kovan {

// Hands the text's buffer to the caller, with a NUL byte after it; false,
// with the outputs untouched, when no buffer can be had.
bool hand_out(OutputText&& text, char** out, uint64_t* out_size) noexcept;

}  // namespace kovan
