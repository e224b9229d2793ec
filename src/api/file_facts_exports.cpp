// What the file says besides its mesh and values: each step's facts, the
// cells' groups and materials, the materials' names and the header records.
#include "api/handle.h"
#include "api/refusal.h"
#include "document/step_facts.h"
#include "kovan.h"

using namespace kovan;

extern "C" {

KOVAN_API kovan_status kovan_step_info_at(const kovan_document* doc, uint64_t step, kovan_step_info* out) {
    if (doc == nullptr) return refuse_null("doc");
    if (out == nullptr) return refuse_null("out");
    const Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_index("step", step, d.steps.size(), "the document");
    *out = describe_step(d.steps[step]);
    return KOVAN_OK;
}

KOVAN_API const int32_t* kovan_cell_groups(const kovan_document* doc) {
    return doc == nullptr ? nullptr : data_or_null(as_document(doc).mesh->cell_groups);
}

KOVAN_API const int32_t* kovan_cell_materials(const kovan_document* doc) {
    return doc == nullptr ? nullptr : data_or_null(as_document(doc).mesh->cell_materials);
}

KOVAN_API uint64_t kovan_n_materials(const kovan_document* doc) {
    return doc == nullptr ? 0 : as_document(doc).materials.size();
}

KOVAN_API kovan_status kovan_material_at(const kovan_document* doc, uint64_t index, int64_t* number,
                                         const char** name) {
    if (doc == nullptr) return refuse_null("doc");
    if (number == nullptr) return refuse_null("number");
    if (name == nullptr) return refuse_null("name");
    const Document& d = as_document(doc);
    if (index >= d.materials.size()) return refuse_index("material", index, d.materials.size(), "the document");
    *number = d.materials[index].number;
    *name = d.materials[index].name.c_str();
    return KOVAN_OK;
}

KOVAN_API uint64_t kovan_n_header_records(const kovan_document* doc) {
    return doc == nullptr ? 0 : as_document(doc).header_records.size();
}

KOVAN_API kovan_status kovan_header_record_at(const kovan_document* doc, uint64_t index, const char** key,
                                              const char** value) {
    if (doc == nullptr) return refuse_null("doc");
    if (key == nullptr) return refuse_null("key");
    if (value == nullptr) return refuse_null("value");
    const Document& d = as_document(doc);
    const auto& records = d.header_records;
    if (index >= records.size()) return refuse_index("header record", index, records.size(), "the document");
    *key = records[index].record.key.c_str();
    *value = records[index].record.value.c_str();
    return KOVAN_OK;
}

}  // extern "C"
