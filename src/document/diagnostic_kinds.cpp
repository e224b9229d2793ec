#include "document/diagnostic_kinds.h"

#include "kovan.h"

namespace kovan {

const char* diagnostic_description(int32_t kind) {
    switch (kind) {
        case KOVAN_DIAG_SURPLUS_NODES: return "element with surplus node numbers, kept with the first ones";
        case KOVAN_DIAG_MISSING_NODES: return "element with too few node numbers, dropped";
        case KOVAN_DIAG_UNKNOWN_TYPE: return "element of an unknown type, dropped";
        case KOVAN_DIAG_INCOMPLETE_BLOCK:
            return "block cut off by the end of the file, which may still be being written";
        case KOVAN_DIAG_NOT_FRD: return "not an FRD file";
        default: return "";
    }
}

}  // namespace kovan
