// Mesh, step and diagnostic queries: views of what the parse built.
#include "api/handle.h"
#include "api/refusal.h"
#include "kovan.h"

using namespace kovan;

extern "C" {

KOVAN_API uint64_t kovan_n_points(const kovan_document* doc) {
    return doc == nullptr ? 0 : as_document(doc).mesh->node_ids.size();
}

KOVAN_API const double* kovan_points(const kovan_document* doc) {
    return doc == nullptr ? nullptr : data_or_null(as_document(doc).mesh->points);
}

KOVAN_API const int64_t* kovan_node_ids(const kovan_document* doc) {
    return doc == nullptr ? nullptr : data_or_null(as_document(doc).mesh->node_ids);
}

KOVAN_API uint64_t kovan_n_cells(const kovan_document* doc) {
    return doc == nullptr ? 0 : as_document(doc).mesh->cell_types.size();
}

KOVAN_API const uint8_t* kovan_cell_types(const kovan_document* doc) {
    return doc == nullptr ? nullptr : data_or_null(as_document(doc).mesh->cell_types);
}

KOVAN_API const int64_t* kovan_cell_offsets(const kovan_document* doc) {
    return doc == nullptr ? nullptr : as_document(doc).mesh->cell_offsets.data();
}

KOVAN_API const int64_t* kovan_cell_connectivity(const kovan_document* doc) {
    return doc == nullptr ? nullptr : data_or_null(as_document(doc).mesh->connectivity);
}

KOVAN_API const int64_t* kovan_cell_ids(const kovan_document* doc) {
    return doc == nullptr ? nullptr : data_or_null(as_document(doc).mesh->cell_ids);
}

KOVAN_API uint64_t kovan_n_steps(const kovan_document* doc) {
    return doc == nullptr ? 0 : as_document(doc).steps.size();
}

KOVAN_API kovan_status kovan_step_time(const kovan_document* doc, uint64_t step, double* time) {
    if (doc == nullptr) return refuse_null("doc");
    if (time == nullptr) return refuse_null("time");
    const Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_index("step", step, d.steps.size(), "the document");
    *time = d.steps[step].time;
    return KOVAN_OK;
}

KOVAN_API uint64_t kovan_steps_parsed(const kovan_document* doc) {
    return doc == nullptr ? 0 : as_document(doc).steps_parsed.load(std::memory_order_relaxed);
}

KOVAN_API uint64_t kovan_n_diagnostics(const kovan_document* doc) {
    return doc == nullptr ? 0 : as_document(doc).diagnostics.size();
}

KOVAN_API kovan_status kovan_diagnostic_at(const kovan_document* doc, uint64_t index, kovan_diagnostic* out) {
    if (doc == nullptr) return refuse_null("doc");
    if (out == nullptr) return refuse_null("out");
    const Document& d = as_document(doc);
    if (index >= d.diagnostics.size()) return refuse_index("diagnostic", index, d.diagnostics.size(), "the document");
    *out = d.diagnostics[index];
    return KOVAN_OK;
}

}  // extern "C"
