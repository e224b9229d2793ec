// A decoded step: its named, point-major result arrays.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "kovan.h"

namespace kovan {

struct ResultArray {
    std::string name;
    uint32_t n_components = 1;
    uint32_t derived = 0;        // 1 for a quantity computed from a tensor
    std::vector<double> values;  // point p, component k at p * n_components + k
    std::vector<std::string> component_names;  // one per component
    uint64_t points_with_values = 0;  // points that a record of the block gave values
};

struct StepResults {
    uint32_t status = KOVAN_OK;  // KOVAN_OK or KOVAN_ERR_COMPONENTS, fixed once decoded
    std::string error;
    std::vector<ResultArray> arrays;
    std::unordered_map<std::string, uint64_t> name_index;  // first array of each name
};

}  // namespace kovan
