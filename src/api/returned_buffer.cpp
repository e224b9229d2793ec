#include "api/returned_buffer.h"


namespace kovan {

bool hand_out(OutputText&& text, char** out, uint64_t* out_size) noexcept {
    const size_t size = text.size;
    char* buffer = text.release();
    if (buffer == nullptr) return false;
    *out = buffer;
    *out_size = size;
    return true;
}

}  // namespace kovan
