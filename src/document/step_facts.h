// A step's facts as the C interface hands them out.
#pragma once

#include "document/step_index.h"
#include "kovan.h"

namespace kovan {

// The record of what the file says of `step`; its texts point into it.
kovan_step_info describe_step(const StepEntry& step);

}  // namespace kovan
