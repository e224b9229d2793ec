// Opening and closing documents.
#include <new>
#include <stdexcept>
#include <string>

#include "frd/file_reading.h"
#include "frd/huge_pages.h"
#include "api/guard.h"
#include "api/handle.h"
#include "api/open_document.h"
#include "kovan.h"

using namespace kovan;

namespace {

// The caller's bytes as the document's own text, or false when they cannot be held.
bool copy_bytes(const void* data, uint64_t size, std::string& text) noexcept {
    try {
        if (size > text.max_size()) return false;
        if (size != 0) {
            text.reserve(static_cast<size_t>(size));
            advise_huge_pages(text.data(), static_cast<size_t>(size));
            text.append(static_cast<const char*>(data), static_cast<size_t>(size));
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

}  // namespace

extern "C" {

KOVAN_API kovan_status kovan_open(const char* path, kovan_document** doc) {
    return kovan_open_ex(path, nullptr, doc);
}

KOVAN_API kovan_status kovan_open_ex(const char* path, const kovan_open_options* options, kovan_document** doc) {
    if (path == nullptr || doc == nullptr) return KOVAN_ERR_ARG;
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
    if (doc == nullptr) return KOVAN_ERR_ARG;
    *doc = nullptr;
    if (data == nullptr && size != 0) return KOVAN_ERR_ARG;
    std::string text;
    if (!copy_bytes(data, size, text)) return KOVAN_ERR_NOMEM;
    uint64_t value = 0;
    if (!read_open_options(options, value)) return KOVAN_ERR_ARG;
    return guarded([&] { return build_document(std::move(text), value, doc); });
}

KOVAN_API void kovan_close(kovan_document* doc) {
    delete document_pointer(doc);  // null is ignored
}

}  // extern "C"
