// What each kind of diagnostic means, for people: the one text that the
// tool, the bindings, the plugin and the page show for it.
#pragma once

#include <cstdint>

namespace kovan {

// The text of a KOVAN_DIAG_* kind; "" for any other value.
const char* diagnostic_description(int32_t kind);

}  // namespace kovan
