// The single forward pass that parses an FRD text into its Document.
#pragma once

#include "document/document.h"
#include "kovan.h"

namespace kovan {

// Parses doc.text: reads the mesh, locates result blocks into steps sorted
// by time, and reports blocks that the end of the text cuts off. On
// KOVAN_ERR_PARSE (a binary node or element block that cannot be walked)
// doc.parse_error holds the text.
kovan_status parse_document(Document& doc);

}  // namespace kovan
