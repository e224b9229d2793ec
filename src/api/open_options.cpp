#include "api/open_options.h"

#include "api/refusal.h"

namespace kovan {

bool read_open_options(const kovan_open_options* options, uint64_t& value) {
    const kovan_open_options record = options != nullptr ? *options : kovan_open_options{0, 0};
    if (record.wedge_order > 1) {
        refuse_argument("options.wedge_order is above 1: it takes 0 (FRD's order) or 1 (VTK's)");
        return false;
    }
    constexpr uint32_t kFlags = KOVAN_OPEN_MISSING_AS_NAN | KOVAN_OPEN_FILE_ORDER;
    if ((record.reserved & ~kFlags) != 0) {
        refuse_argument("options.reserved holds a bit that is no KOVAN_OPEN_* flag");
        return false;
    }
    value = uint64_t{record.wedge_order} | uint64_t{record.reserved} << 32;
    return true;
}

}  // namespace kovan
