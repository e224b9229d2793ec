// The options record of every open export, checked as an argument.
#pragma once

#include <cstdint>

#include "kovan.h"

namespace kovan {

// The options record as one 64-bit value, or false, with the thread's text
// naming the field, when it is not valid.
bool read_open_options(const kovan_open_options* options, uint64_t& value);

}  // namespace kovan
