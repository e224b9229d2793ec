// Opening, reopening and closing documents.
#include <memory>
#include <stdexcept>
#include <string>

#include "api/guard.h"
#include "api/handle.h"
#include "api/open_options.h"
#include "api/refusal.h"
#include "document/open.h"
#include "io/source.h"
#include "kovan.h"
#include "support/huge_pages.h"

using namespace kovan;

namespace {

// The caller's bytes as a source of their own. Allocation failures and
// sizes beyond what a string holds throw, for the guard.
std::shared_ptr<const Source> copied_bytes(const void* data, uint64_t size) {
    std::string bytes;
    if (size > bytes.max_size()) throw std::length_error("a text of " + std::to_string(size) + " bytes");
    if (size != 0) {
        bytes.reserve(static_cast<size_t>(size));
        advise_huge_pages(bytes.data(), static_cast<size_t>(size));
        bytes.append(static_cast<const char*>(data), static_cast<size_t>(size));
    }
    return memory_source(std::move(bytes));
}

// Opens `source` into *doc, handing the document out only when it opened.
kovan_status open_into(std::shared_ptr<const Source> source, uint64_t options, kovan_document** doc) {
    Document* opened = nullptr;
    const kovan_status status = open_document(std::move(source), options, opened);
    if (status == KOVAN_OK) *doc = as_handle(opened);
    return status;
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
        std::shared_ptr<const Source> source = file_source(path);
        if (!source) return kovan_status{KOVAN_ERR_IO};
        uint64_t value = 0;
        if (!read_open_options(options, value)) return kovan_status{KOVAN_ERR_ARG};
        return open_into(std::move(source), value, doc);
    });
}

KOVAN_API kovan_status kovan_open_memory(const void* data, uint64_t size, const kovan_open_options* options,
                                         kovan_document** doc) {
    if (doc == nullptr) return refuse_null("doc");
    *doc = nullptr;
    if (data == nullptr && size != 0) return refuse_argument("data is null while size is above 0");
    return guarded([&] {
        std::shared_ptr<const Source> source = copied_bytes(data, size);
        uint64_t value = 0;
        if (!read_open_options(options, value)) return kovan_status{KOVAN_ERR_ARG};
        return open_into(std::move(source), value, doc);
    });
}

KOVAN_API kovan_status kovan_open_source(const kovan_source* source, const kovan_open_options* options,
                                         kovan_document** doc) {
    if (source == nullptr) return refuse_null("source");
    if (source->read_at == nullptr) return refuse_null("source->read_at");
    if (source->size == nullptr) return refuse_null("source->size");
    if (doc == nullptr) return refuse_null("doc");
    *doc = nullptr;
    uint64_t value = 0;
    if (!read_open_options(options, value)) return KOVAN_ERR_ARG;
    const kovan_source record = *source;
    return guarded([&] {
        std::shared_ptr<Source> held;
        try {
            held = std::make_shared<Source>();
        } catch (...) {
            if (record.release != nullptr) record.release(record.context);
            throw;
        }
        held->kind = Source::kCaller;
        held->caller = record;  // released with the last document that reads through it
        return open_into(std::move(held), value, doc);
    });
}

KOVAN_API kovan_status kovan_reopen(const kovan_document* doc, kovan_document** out) {
    if (doc == nullptr) return refuse_null("doc");
    if (out == nullptr) return refuse_null("out");
    *out = nullptr;
    return guarded([&] {
        Document* reopened = nullptr;
        const kovan_status status = reopen_document(as_document(doc), reopened);
        if (status == KOVAN_OK) *out = as_handle(reopened);
        return status;
    });
}

KOVAN_API void kovan_close(kovan_document* doc) {
    delete document_pointer(doc);  // null is ignored
}

}  // extern "C"
