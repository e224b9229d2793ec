// Introspection and error texts.
#include "api/handle.h"
#include "support/failure_text.h"
#include "kovan.h"

using namespace kovan;

extern "C" {

KOVAN_API int32_t kovan_abi_version(void) { return KOVAN_ABI_VERSION; }

KOVAN_API uint64_t kovan_struct_size(int32_t kind) {
    switch (kind) {
        case KOVAN_STRUCT_OPEN_OPTIONS: return sizeof(kovan_open_options);
        case KOVAN_STRUCT_ARRAY_INFO: return sizeof(kovan_array_info);
        case KOVAN_STRUCT_DIAGNOSTIC: return sizeof(kovan_diagnostic);
        case KOVAN_STRUCT_SOURCE: return sizeof(kovan_source);
        case KOVAN_STRUCT_STEP_INFO: return sizeof(kovan_step_info);
        default: return 0;
    }
}

KOVAN_API const char* kovan_status_message(kovan_status status) {
    switch (status) {
        case KOVAN_OK: return "ok";
        case KOVAN_ERR_IO: return "the file could not be opened or read";
        case KOVAN_ERR_PARSE: return "the file did not parse as an FRD document";
        case KOVAN_ERR_RANGE: return "index out of range";
        case KOVAN_ERR_NOMEM: return "out of memory";
        case KOVAN_ERR_ARG: return "invalid argument";
        case KOVAN_ERR_COMPONENTS: return "a result block gave two nodes different component counts";
        case KOVAN_ERR_INTERNAL: return "an unexpected error inside the library; please report it";
        default: return "unknown status";
    }
}

KOVAN_API const char* kovan_last_error(const kovan_document* doc) {
    if (doc == nullptr) return thread_error();
    return as_document(doc).last_error.load(std::memory_order_acquire);
}

}  // extern "C"
