// Arguments an export refuses before it does any work. Like every other
// failure, a refusal leaves its text in the calling thread's slot: what was
// wrong with which argument, or the index and the count it must stay below.
#pragma once

#include <cstdint>

#include "kovan.h"

namespace kovan {

// KOVAN_ERR_ARG, with `text` (such as "doc is null") as the thread's text.
kovan_status refuse_argument(const char* text) noexcept;

// KOVAN_ERR_RANGE: "`what` `index` is out of range: `owner` has `count` `whats`",
// e.g. refuse_index("step", 4, 3, "the document") gives
// "step 4 is out of range: the document has 3 steps".
kovan_status refuse_index(const char* what, uint64_t index, uint64_t count, const char* owner) noexcept;

// KOVAN_ERR_ARG for a null handle or output: "`name` is null".
kovan_status refuse_null(const char* name) noexcept;

}  // namespace kovan
