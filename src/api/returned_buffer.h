// Buffers handed to the caller, released with kovan_free.
#pragma once

#include <cstdint>

#include "blocks/output_text.h"
#include "kovan.h"

namespace kovan {

// Hands the text's buffer to the caller, with a NUL byte after it; when no
// buffer can be had, KOVAN_ERR_NOMEM with the thread's text, and the
// outputs untouched.
kovan_status hand_out(OutputText&& text, char** out, uint64_t* out_size) noexcept;

}  // namespace kovan
