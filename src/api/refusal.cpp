#include "api/refusal.h"

#include <cinttypes>
#include <cstdio>

#include "support/failure_text.h"

namespace kovan {

kovan_status refuse_argument(const char* text) noexcept {
    set_thread_error(text);
    return KOVAN_ERR_ARG;
}

kovan_status refuse_null(const char* name) noexcept {
    char text[96];
    std::snprintf(text, sizeof text, "%s is null", name);
    return refuse_argument(text);
}

kovan_status refuse_index(const char* what, uint64_t index, uint64_t count, const char* owner) noexcept {
    char text[160];
    std::snprintf(text, sizeof text, "%s %" PRIu64 " is out of range: %s has %" PRIu64 " %s%s", what, index, owner,
                  count, what, count == 1 ? "" : "s");
    set_thread_error(text);
    return KOVAN_ERR_RANGE;
}

}  // namespace kovan
