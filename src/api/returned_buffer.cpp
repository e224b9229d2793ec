#include "api/returned_buffer.h"

#include <cstdlib>
#include <cstring>

namespace kovan {

bool hand_out(const std::string& bytes, char** out, uint64_t* out_size) noexcept {
    auto* buffer = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (buffer == nullptr) return false;
    std::memcpy(buffer, bytes.data(), bytes.size());
    buffer[bytes.size()] = '\0';
    *out = buffer;
    *out_size = bytes.size();
    return true;
}

}  // namespace kovan
