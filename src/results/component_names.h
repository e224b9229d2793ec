// The names of a result array's components.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kovan {

// The names the block's "-5" lines give, when they give one per component;
// otherwise kovan's own: X, Y, Z for three components, XX, YY, ZZ, XY, YZ,
// XZ for six, "value" for one, and 1, 2, ... for any other count.
std::vector<std::string> component_names_for(const std::vector<std::string>& stated, uint32_t n_components);

}  // namespace kovan
