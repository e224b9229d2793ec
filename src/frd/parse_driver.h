// The single forward pass that parses an FRD text into its Document.
#pragma once

#include "frd/document.h"
#include "kovan.h"

namespace kovan {

// Parses doc.text: reads the mesh, locates result blocks into steps sorted
// by time. KOVAN_ERR_PARSE, with doc.last_error set, for a binary node or
// element block that cannot be read; KOVAN_OK otherwise.
kovan_status parse_document(Document& doc);

}  // namespace kovan
