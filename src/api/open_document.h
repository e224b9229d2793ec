// Building a Document from an FRD text: the step shared by every open path.
#pragma once

#include <cstdint>
#include <string>

#include "kovan.h"

namespace kovan {

// The options record as one 64-bit value, or false, with the thread's text
// naming the field, when it is not valid.
bool read_open_options(const kovan_open_options* options, uint64_t& value);

// Parses `text` into a new Document and stores its handle in *out; on a
// parse failure the parse's text goes to the thread's last error and *out
// stays null. Exceptions propagate to the caller's guard.
kovan_status build_document(std::string&& text, uint64_t options, kovan_document** out);

}  // namespace kovan
