#include "support/failure_text.h"

#include <string>

namespace kovan {
namespace {

// Room for the guard's own texts, so that "allocation failed" can still be
// recorded when memory has run out.
constexpr size_t kReservedErrorBytes = 128;

std::string& thread_slot() noexcept {
    thread_local std::string slot;
    if (slot.capacity() < kReservedErrorBytes) {
        try {
            slot.reserve(kReservedErrorBytes);
        } catch (...) {
        }
    }
    return slot;
}

}  // namespace

void set_thread_error(std::string_view text) noexcept {
    std::string& slot = thread_slot();
    try {
        slot.assign(text);
    } catch (...) {
        slot.assign(text.substr(0, slot.capacity()));  // fits the capacity already held
    }
}

const char* thread_error() noexcept { return thread_slot().c_str(); }

}  // namespace kovan
