// The once-only decoding of a step on its first query, and its release.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "document/document.h"
#include "results/step_results.h"

namespace kovan {

// The decoded step, held for the caller while it answers from it; null
// when its decoding failed (`status` then says how, and its text is the
// document's last error and the calling thread's). The first call for a
// step decodes it; calls for the same step meanwhile wait for that decode,
// calls for other steps decode theirs at the same time. A step that fails
// to decode keeps its failure, except one whose bytes could not be read or
// changed, which the next call tries again. Exceptions from decoding
// propagate, leaving the step to be decoded afresh by the next call.
std::shared_ptr<const StepResults> materialise(Document& doc, uint64_t step, kovan_status& status);

// Lets the step's results go, once no query holds them any more; their
// memory goes to the document's pool. Waits for a decode of the step that
// is under way.
void release_step(Document& doc, uint64_t step);

// Called, when set, as a step's decode begins; lets tests hold one decode
// open while other threads decode. Not part of the interface.
extern std::atomic<void (*)(uint64_t step)> on_decode_start;

}  // namespace kovan
