#include "api/open_options.h"

#include "api/refusal.h"

namespace kovan {

bool read_open_options(const kovan_open_options* options, uint64_t& value) {
    const kovan_open_options record = options != nullptr ? *options : kovan_open_options{0, 0};
    if (record.wedge_order > 1) {
        refuse_argument("options.wedge_order is above 1: it takes 0 (FRD's order) or 1 (VTK's)");
        return false;
    }
    if (record.reserved != 0) {
        refuse_argument("options.reserved is not 0");
        return false;
    }
    value = uint64_t{record.wedge_order} | uint64_t{record.reserved} << 32;
    return true;
}

}  // namespace kovan
