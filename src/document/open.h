// Opening documents: from a source, and again from an open document's
// source as it is now (a file a solver is still writing).
#pragma once

#include <cstdint>
#include <memory>

#include "document/document.h"
#include "io/source.h"
#include "kovan.h"

namespace kovan {

// Parses the source as it is now into a new Document (`out`, owned by the
// caller); on a failure the thread's text says why and `out` stays null.
// `window_bytes`: how much a window reads at a time from a source not in
// memory. Exceptions propagate to the caller's guard.
kovan_status open_document(std::shared_ptr<const Source> source, uint64_t options, Document*& out,
                           uint64_t window_bytes = kWindowBytes);

// A new Document of what `old`'s source holds now: where the bytes `old`
// indexed are unchanged, only the bytes after them are read, and the mesh
// is shared; otherwise the source is parsed anew. `old` is not changed.
kovan_status reopen_document(const Document& old, Document*& out);

}  // namespace kovan
