// Result array queries: each decodes its step on first use.
#include <string>

#include "api/guard.h"
#include "api/handle.h"
#include "kovan.h"
#include "results/materialise.h"

using namespace kovan;

namespace {

kovan_array_info info_of(const ResultArray& array, uint64_t n_points) {
    return kovan_array_info{array.name.c_str(), n_points, array.n_components, array.derived};
}

// Decodes the step on first use, inside the guard, and answers from it; a
// step that failed to decode answers KOVAN_ERR_COMPONENTS.
template <typename Answer>
kovan_status answer_from_step(Document& doc, uint64_t step, Answer&& answer) {
    return guarded([&] {
        const StepResults* results = materialise(doc, step);
        if (results == nullptr) return kovan_status{KOVAN_ERR_COMPONENTS};
        return answer(*results);
    });
}

}  // namespace

extern "C" {

KOVAN_API kovan_status kovan_n_arrays(kovan_document* doc, uint64_t step, uint64_t* count) {
    if (doc == nullptr || count == nullptr) return KOVAN_ERR_ARG;
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return KOVAN_ERR_RANGE;
    return answer_from_step(d, step, [&](const StepResults& results) {
        *count = results.arrays.size();
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_array_info_range(kovan_document* doc, uint64_t step, uint64_t first, uint64_t count,
                                              kovan_array_info* records) {
    if (doc == nullptr || (count != 0 && records == nullptr)) return KOVAN_ERR_ARG;
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return KOVAN_ERR_RANGE;
    return answer_from_step(d, step, [&](const StepResults& results) {
        const uint64_t n = results.arrays.size();
        if (first > n || count > n - first) return kovan_status{KOVAN_ERR_RANGE};
        for (uint64_t i = 0; i < count; ++i) records[i] = info_of(results.arrays[first + i], d.node_ids.size());
        return kovan_status{KOVAN_OK};
    });
}

KOVAN_API kovan_status kovan_array_info_at(kovan_document* doc, uint64_t step, uint64_t index,
                                           kovan_array_info* record) {
    if (doc == nullptr || record == nullptr) return KOVAN_ERR_ARG;
    return kovan_array_info_range(doc, step, index, 1, record);
}

KOVAN_API int64_t kovan_find_array(kovan_document* doc, uint64_t step, const char* name) {
    if (doc == nullptr || name == nullptr) return -1;
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return -1;
    int64_t index = -1;
    answer_from_step(d, step, [&](const StepResults& results) {
        const auto it = results.name_index.find(std::string(name));
        if (it != results.name_index.end()) index = static_cast<int64_t>(it->second);
        return kovan_status{KOVAN_OK};
    });
    return index;
}

KOVAN_API kovan_status kovan_array_data(kovan_document* doc, uint64_t step, uint64_t index, const double** values) {
    if (doc == nullptr || values == nullptr) return KOVAN_ERR_ARG;
    *values = nullptr;
    Document& d = as_document(doc);
    if (step >= d.steps.size()) return KOVAN_ERR_RANGE;
    return answer_from_step(d, step, [&](const StepResults& results) {
        if (index >= results.arrays.size()) return kovan_status{KOVAN_ERR_RANGE};
        const std::vector<double>& data = results.arrays[index].values;
        *values = data.empty() ? nullptr : data.data();
        return kovan_status{KOVAN_OK};
    });
}

}  // extern "C"
