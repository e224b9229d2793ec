// Result array queries: each decodes its step on first use; and letting a
// decoded step go.
#include <string>

#include "api/guard.h"
#include "api/handle.h"
#include "api/refusal.h"
#include "kovan.h"
#include "results/array_plan.h"
#include "results/materialise.h"

using namespace kovan;

namespace {

kovan_array_info info_of(const ResultArray& array, uint64_t n_points) {
    return kovan_array_info{array.name.c_str(), n_points, array.n_components, array.derived};
}

// Decodes the step on first use, inside the guard, and answers from it,
// holding its results while it does; a step that failed to decode answers
// with its failure.
template <typename Answer>
kovan_status answer_from_step(Document& doc, uint64_t step, Answer&& answer) {
    return guarded([&] {
        kovan_status status = KOVAN_OK;
        const std::shared_ptr<const StepResults> results = materialise(doc, step, status);
        if (results == nullptr) return status;
        return answer(*results);
    });
}

kovan_status refuse_array(uint64_t index, uint64_t count) noexcept {
    return refuse_index("array", index, count, "the step");
}

// Answers from array `index` of the decoded step, or refuses the index.
template <typename Answer>
kovan_status answer_from_array(Document& doc, uint64_t step, uint64_t index, Answer&& answer) {
    return answer_from_step(doc, step, [&](const StepResults& results) {
        if (index >= results.arrays.size()) return refuse_array(index, results.arrays.size());
        return answer(results.arrays[index]);
    });
}

// Answers from array `index` of the step's plan (made on first use, inside
// the guard), or refuses the index.
template <typename Answer>
kovan_status answer_from_plan(Document& doc, uint64_t step, uint64_t index, Answer&& answer) {
    return guarded([&] {
        const std::vector<PlannedArray>& arrays = step_plan(doc, step)->arrays;
        if (index >= arrays.size()) return refuse_array(index, arrays.size());
        return answer(arrays[index]);
    });
}

kovan_status hand_out_component(const std::vector<std::string>& names, uint32_t component, const char** name) {
    if (component >= names.size()) return refuse_index("component", component, names.size(), "the array");
    *name = names[component].c_str();
    return KOVAN_OK;
}

kovan_status refuse_step(const Document& doc, uint64_t step) noexcept {
    return refuse_index("step", step, doc.steps.size(), "the document");
}

}  // namespace

extern "C" {

KOVAN_API kovan_status kovan_n_arrays(kovan_document* doc, uint64_t step, uint64_t* count) {
    if (doc == nullptr) return refuse_null("doc");
    if (count == nullptr) return refuse_null("count");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return answer_from_step(d, step, [&](const StepResults& results) {
        *count = results.arrays.size();
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_array_info_range(kovan_document* doc, uint64_t step, uint64_t first, uint64_t count,
                                              kovan_array_info* records) {
    if (doc == nullptr) return refuse_null("doc");
    if (count != 0 && records == nullptr) return refuse_argument("records is null while count is above 0");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return answer_from_step(d, step, [&](const StepResults& results) {
        const uint64_t n = results.arrays.size();
        if (first > n) return refuse_array(first, n);
        if (count > n - first) return refuse_array(first + count - 1, n);
        for (uint64_t i = 0; i < count; ++i) records[i] = info_of(results.arrays[first + i], d.mesh->node_ids.size());
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_array_info_at(kovan_document* doc, uint64_t step, uint64_t index,
                                           kovan_array_info* record) {
    if (record == nullptr && doc != nullptr) return refuse_null("record");
    return kovan_array_info_range(doc, step, index, 1, record);
}

KOVAN_API int64_t kovan_find_array(kovan_document* doc, uint64_t step, const char* name) {
    if (doc == nullptr || name == nullptr) {
        refuse_null(doc == nullptr ? "doc" : "name");
        return -1;
    }
    Document& d = as_document(doc);
    if (step >= d.steps.size()) {
        refuse_step(d, step);
        return -1;
    }
    int64_t index = -1;
    answer_from_step(d, step, [&](const StepResults& results) {
        const auto it = results.name_index.find(std::string(name));
        if (it != results.name_index.end()) index = static_cast<int64_t>(it->second);
        return kovan_status{KOVAN_OK};
    });
    return index;
}

KOVAN_API kovan_status kovan_array_data(kovan_document* doc, uint64_t step, uint64_t index, const double** values) {
    if (doc == nullptr) return refuse_null("doc");
    if (values == nullptr) return refuse_null("values");
    *values = nullptr;
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return answer_from_array(d, step, index, [&](const ResultArray& array) {
        *values = data_or_null(array.values);
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_array_component_name(kovan_document* doc, uint64_t step, uint64_t index,
                                                  uint32_t component, const char** name) {
    if (doc == nullptr) return refuse_null("doc");
    if (name == nullptr) return refuse_null("name");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return answer_from_array(d, step, index, [&](const ResultArray& array) {
        return hand_out_component(array.component_names, component, name);
    });
}

KOVAN_API kovan_status kovan_array_points_with_values(kovan_document* doc, uint64_t step, uint64_t index,
                                                      uint64_t* count) {
    if (doc == nullptr) return refuse_null("doc");
    if (count == nullptr) return refuse_null("count");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return answer_from_array(d, step, index, [&](const ResultArray& array) {
        *count = array.points_with_values;
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_n_planned_arrays(kovan_document* doc, uint64_t step, uint64_t* count) {
    if (doc == nullptr) return refuse_null("doc");
    if (count == nullptr) return refuse_null("count");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return guarded([&] {
        *count = step_plan(d, step)->arrays.size();
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_planned_array_at(kovan_document* doc, uint64_t step, uint64_t index,
                                              kovan_array_info* record) {
    if (doc == nullptr) return refuse_null("doc");
    if (record == nullptr) return refuse_null("record");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return answer_from_plan(d, step, index, [&](const PlannedArray& array) {
        *record = kovan_array_info{array.name.c_str(), d.mesh->node_ids.size(), array.n_components, array.derived};
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_planned_component_name(kovan_document* doc, uint64_t step, uint64_t index,
                                                    uint32_t component, const char** name) {
    if (doc == nullptr) return refuse_null("doc");
    if (name == nullptr) return refuse_null("name");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return answer_from_plan(d, step, index, [&](const PlannedArray& array) {
        return hand_out_component(array.component_names, component, name);
    });
}

KOVAN_API kovan_status kovan_release_step(kovan_document* doc, uint64_t step) {
    if (doc == nullptr) return refuse_null("doc");
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return refuse_step(d, step);
    return guarded([&] {
        release_step(d, step);
        return kovan_status{KOVAN_OK};
    });
}

}  // extern "C"
