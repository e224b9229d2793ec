// The once-only, lock-protected decoding of a step on its first query.
#pragma once

#include <cstdint>

#include "frd/document.h"
#include "results/step_results.h"

namespace kovan {

// The decoded step, or null when its decoding failed (its message is then
// copied into the document's last error). The first call for a step decodes
// it under the document's lock; later calls return the same results.
// Exceptions from decoding propagate, leaving the step to be decoded afresh
// by the next call.
const StepResults* materialise(Document& doc, uint64_t step);

}  // namespace kovan
