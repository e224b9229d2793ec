#include "results/component_names.h"

namespace kovan {

std::vector<std::string> component_names_for(const std::vector<std::string>& stated, uint32_t n_components) {
    if (stated.size() == n_components) return stated;
    switch (n_components) {
        case 1: return {"value"};
        case 3: return {"X", "Y", "Z"};
        case 6: return {"XX", "YY", "ZZ", "XY", "YZ", "XZ"};
        default: break;
    }
    std::vector<std::string> numbered;
    numbered.reserve(n_components);
    for (uint32_t k = 1; k <= n_components; ++k) numbered.push_back(std::to_string(k));
    return numbered;
}

}  // namespace kovan
