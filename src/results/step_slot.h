// A step's place in its document: decoded once, by the first thread that
// asks for it, while threads asking for other steps decode those.
#pragma once

#include <atomic>
#include <mutex>

#include "results/step_results.h"

namespace kovan {

struct StepSlot {
    std::mutex decoding;             // held by the one thread decoding the step; others asking wait on it
    std::atomic<bool> ready{false};  // set once the results are final; they never change again
    StepResults results;
};

}  // namespace kovan
