// Failure texts for callers without a document: one per calling thread,
// set where a failure is found, in any subsystem, and read by the C
// interface.
#pragma once

#include <string_view>

namespace kovan {

// Replaces the calling thread's text. Never throws: when even that cannot
// be allocated the old text stays.
void set_thread_error(std::string_view text) noexcept;

// The calling thread's text; empty when nothing was recorded. Never null.
const char* thread_error() noexcept;

}  // namespace kovan
