// Steps and per-point arrays handed to a Writer.
#pragma once

#include <cstdint>

#include "kovan.h"
#include "writer/writer.h"

namespace kovan {

void begin_step(Writer& writer, int32_t step_number, double time);

struct ArrayInput {
    const char* name;
    uint32_t n_components;
    const char* const* component_names;  // may be null, as may each entry
    uint32_t type_code;                  // 0: 2 for 3 components, 4 for 6, else 1
    const double* values;                // point-major
};

// Appends the step line and the result block of one array; a name that
// would not read back is refused (KOVAN_ERR_ARG, the thread's text set).
kovan_status add_array(Writer& writer, const ArrayInput& array);

}  // namespace kovan
