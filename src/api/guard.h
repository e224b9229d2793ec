// The guard that keeps exceptions from crossing the C interface.
#pragma once

#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "support/failure_text.h"
#include "kovan.h"

namespace kovan {

inline kovan_status record_guard_failure(kovan_status status, const char* prefix, const char* what) noexcept {
    try {
        set_thread_error(std::string(prefix) + what);
    } catch (...) {
        set_thread_error(prefix);
    }
    return status;
}

// Runs `body` (returning a kovan_status) and turns any exception into a
// status with its text in the thread's last error.
template <typename Body>
kovan_status guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        set_thread_error("allocation failed");
        return KOVAN_ERR_NOMEM;
    } catch (const std::length_error& e) {
        return record_guard_failure(KOVAN_ERR_NOMEM, "size beyond what this platform can express: ", e.what());
    } catch (const std::exception& e) {
        return record_guard_failure(KOVAN_ERR_INTERNAL, "internal error: ", e.what());
    } catch (...) {
        set_thread_error("internal error: an exception not derived from std::exception");
        return KOVAN_ERR_INTERNAL;
    }
}

}  // namespace kovan
