// A step's place in its document: decoded once, by the first thread that
// asks for it, while threads asking for other steps decode those; let go
// when the caller releases it, and decoded again when asked for again.
#pragma once

#include <memory>
#include <mutex>

#include "results/step_results.h"

namespace kovan {

struct StepSlot {
    // Held while the step is decoded or released, and while a query takes
    // its results; threads asking for a step being decoded wait on it.
    std::mutex lock;
    // Null until decoded, and again once released. A query holds its own
    // reference while it answers, so that a release meanwhile frees nothing
    // under it.
    std::shared_ptr<const StepResults> results;
};

}  // namespace kovan
