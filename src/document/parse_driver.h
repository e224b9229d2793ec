// The single forward pass that parses an FRD text into its Document.
#pragma once

#include "document/document.h"
#include "kovan.h"

namespace kovan {

// Parses doc.size bytes of doc.source: reads the mesh, locates result blocks
// into steps sorted by time, reports blocks that the end of the text cuts
// off, and marks the blocks (where the source can change). On a failure
// (KOVAN_ERR_PARSE: a binary node or element block that cannot be walked;
// KOVAN_ERR_IO: the source could not be read) doc.parse_error holds the text.
kovan_status parse_document(Document& doc);

// Parses what follows `old`'s resume point into `doc`, which holds `old`'s
// mesh, steps and diagnostics from before that point. `mesh_changed` tells
// whether the bytes read hold node or element blocks, which the mesh does
// not: the text must then be parsed anew.
kovan_status parse_appended(Document& doc, const Document& old, bool& mesh_changed);

}  // namespace kovan
