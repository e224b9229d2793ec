// Re-encoding whole documents in memory, and releasing returned buffers.
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "api/guard.h"
#include "api/refusal.h"
#include "api/returned_buffer.h"
#include "blocks/block_reader.h"
#include "blocks/convertibility.h"
#include "blocks/serialiser.h"
#include "support/failure_text.h"
#include "kovan.h"

using namespace kovan;

namespace {

kovan_status refuse_rewrite(const void* data, char** out, uint64_t* out_size) noexcept {
    if (data == nullptr) return refuse_null("data");
    if (out == nullptr) return refuse_null("out");
    if (out_size == nullptr) return refuse_null("out_size");
    return refuse_argument("format is none of -1 (keep) and 0 to 3");
}

}  // namespace

extern "C" {

KOVAN_API kovan_status kovan_rewrite_memory(const void* data, uint64_t size, int32_t format, char** out,
                                            uint64_t* out_size) {
    if (data == nullptr || out == nullptr || out_size == nullptr || format < -1 || format > 3) {
        return refuse_rewrite(data, out, out_size);
    }
    *out = nullptr;
    *out_size = 0;
    return guarded([&] {
        if (size > std::string().max_size()) throw std::length_error("a text of " + std::to_string(size) + " bytes");
        // Read in place: the blocks keep copies of what they need.
        const BlockReadResult read = read_blocks(std::string_view(static_cast<const char*>(data), static_cast<size_t>(size)), format);
        if (!read.ok) {
            set_thread_error(read.error);
            return kovan_status{KOVAN_ERR_PARSE};
        }
        if (const auto refusal = conversion_refusal(read.document, format)) {
            set_thread_error(*refusal);
            return kovan_status{KOVAN_ERR_PARSE};
        }
        return hand_out(serialise(read.document, format), out, out_size);
    });
}

KOVAN_API void kovan_free(void* buffer) { std::free(buffer); }

}  // extern "C"
