// Decoding the result blocks of one step into its arrays.
#pragma once

#include <cstdint>

#include "document/document.h"
#include "results/step_results.h"

namespace kovan {

// Fills `results` with one array per distinct block name (the last block of
// a name wins, at the place of the first), each stress or strain tensor
// followed by its derived arrays, reading the step's blocks from the
// document's source (into memory from its pool). Or sets KOVAN_ERR_COMPONENTS
// and the message of the first node whose value count fits no rule, or
// KOVAN_ERR_IO when the blocks' bytes cannot be read or are no longer those
// the document indexed. `with_derived` false leaves the derived arrays out
// (for measurements).
void decode_step(const Document& doc, uint64_t step, StepResults& results, bool with_derived = true);

}  // namespace kovan
