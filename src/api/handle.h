// Converting between document handles and Documents.
#pragma once

#include <vector>

#include "document/document.h"
#include "kovan.h"

namespace kovan {

inline Document& as_document(kovan_document* doc) { return *reinterpret_cast<Document*>(doc); }
inline const Document& as_document(const kovan_document* doc) { return *reinterpret_cast<const Document*>(doc); }
inline Document* document_pointer(kovan_document* doc) { return reinterpret_cast<Document*>(doc); }
inline kovan_document* as_handle(Document* doc) { return reinterpret_cast<kovan_document*>(doc); }

// An empty array is handed out as null.
template <typename T>
const T* data_or_null(const std::vector<T>& values) {
    return values.empty() ? nullptr : values.data();
}

}  // namespace kovan
