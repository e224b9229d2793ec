#include "api/returned_buffer.h"

#include <cinttypes>
#include <cstdio>

#include "support/failure_text.h"

namespace kovan {

kovan_status hand_out(OutputText&& text, char** out, uint64_t* out_size) noexcept {
    const size_t size = text.size;
    char* buffer = text.release();
    if (buffer == nullptr) {
        char message[96];
        std::snprintf(message, sizeof message, "out of memory while handing out a buffer of %" PRIu64 " bytes",
                      static_cast<uint64_t>(size) + 1);
        set_thread_error(message);
        return KOVAN_ERR_NOMEM;
    }
    *out = buffer;
    *out_size = size;
    return KOVAN_OK;
}

}  // namespace kovan
