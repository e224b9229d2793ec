// The once-only decoding of a step on its first query.
#pragma once

#include <atomic>
#include <cstdint>

#include "document/document.h"
#include "results/step_results.h"

namespace kovan {

// The decoded step, or null when its decoding failed (its message is then
// the document's last error, and the calling thread's). The first call for
// a step decodes it; calls for the same step meanwhile wait for that decode,
// calls for other steps decode theirs at the same time. The document's lock is held only to find
// or create the step's slot. Exceptions from decoding propagate, leaving the
// step to be decoded afresh by the next call.
const StepResults* materialise(Document& doc, uint64_t step);

// Called, when set, as a step's decode begins; lets tests hold one decode
// open while other threads decode. Not part of the interface.
extern std::atomic<void (*)(uint64_t step)> on_decode_start;

}  // namespace kovan
