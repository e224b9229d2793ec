#include "api/open_document.h"

#include <memory>

#include "api/handle.h"
#include "api/refusal.h"
#include "support/failure_text.h"
#include "document/parse_driver.h"

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

kovan_status build_document(std::string&& text, uint64_t options, kovan_document** out) {
    auto doc = std::make_unique<Document>();
    doc->text = std::move(text);
    doc->options = options;
    const kovan_status status = parse_document(*doc);
    if (status != KOVAN_OK) {
        set_thread_error(doc->parse_error);
        return status;
    }
    *out = as_handle(doc.release());
    return KOVAN_OK;
}

}  // namespace kovan
