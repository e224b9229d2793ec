// Opening and closing documents.
#include <stdexcept>
#include <string>

#include "api/guard.h"
#include "api/handle.h"
#include "api/open_document.h"
#include "api/refusal.h"
#include "io/file_reading.h"
#include "support/huge_pages.h"
#include "kovan.h"

using namespace kovan;

namespace {

// The caller's bytes as the document's own text. Allocation failures and
// sizes beyond what a string holds throw, for the guard.
std::string copy_bytes(const void* data, uint64_t size) {
    std::string text;
    if (size > text.max_size()) throw std::length_error("a text of " + std::to_string(size) + " bytes");
    if (size != 0) {
        text.reserve(static_cast<size_t>(size));
        advise_huge_pages(text.data(), static_cast<size_t>(size));
        text.append(static_cast<const char*>(data), static_cast<size_t>(size));
    }
    return text;
}

}  // namespace

extern "C" {

KOVAN_API kovan_status kovan_open(const char* path, kovan_document** doc) {
    return kovan_open_ex(path, nullptr, doc);
}

KOVAN_API kovan_status kovan_open_ex(const char* path, const kovan_open_options* options, kovan_document** doc) {
    if (path == nullptr) return refuse_null("path");
    if (doc == nullptr) return refuse_null("doc");
    *doc = nullptr;
    return guarded([&] {
        std::string text;
        if (!read_whole_file(path, text)) return kovan_status{KOVAN_ERR_IO};
        uint64_t value = 0;
        if (!read_open_options(options, value)) return kovan_status{KOVAN_ERR_ARG};
        return build_document(std::move(text), value, doc);
    });
}

KOVAN_API kovan_status kovan_open_memory(const void* data, uint64_t size, const kovan_open_options* options,
                                         kovan_document** doc) {
    if (doc == nullptr) return refuse_null("doc");
    *doc = nullptr;
    if (data == nullptr && size != 0) return refuse_argument("data is null while size is above 0");
    return guarded([&] {
        std::string text = copy_bytes(data, size);
        uint64_t value = 0;
        if (!read_open_options(options, value)) return kovan_status{KOVAN_ERR_ARG};
        return build_document(std::move(text), value, doc);
    });
}

KOVAN_API void kovan_close(kovan_document* doc) {
    delete document_pointer(doc);  // null is ignored
}

}  // extern "C"
