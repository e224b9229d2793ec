// Fuzz target: any bytes opened as a document, every query asked, every
// step decoded and every array read.
#include <cstddef>
#include <cstdint>

#include "kovan.h"

namespace {

double touch_arrays(kovan_document* doc, uint64_t step) {
    uint64_t n = 0;
    if (kovan_n_arrays(doc, step, &n) != KOVAN_OK) return 0.0;
    double sum = 0.0;
    for (uint64_t a = 0; a < n; ++a) {
        kovan_array_info info;
        const double* values = nullptr;
        if (kovan_array_info_at(doc, step, a, &info) != KOVAN_OK) continue;
        if (kovan_array_data(doc, step, a, &values) != KOVAN_OK || values == nullptr) continue;
        kovan_find_array(doc, step, info.name);
        for (uint64_t i = 0; i < info.n_tuples * info.n_components; ++i) sum += values[i];
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (uint32_t wedge_order = 0; wedge_order <= 1; ++wedge_order) {
        const kovan_open_options options{wedge_order, 0};
        kovan_document* doc = nullptr;
        if (kovan_open_memory(data, size, &options, &doc) != KOVAN_OK) continue;
        volatile double sink = 0.0;
        const uint64_t n_points = kovan_n_points(doc), n_cells = kovan_n_cells(doc);
        const int64_t* offsets = kovan_cell_offsets(doc);
        const int64_t* connectivity = kovan_cell_connectivity(doc);
        for (uint64_t c = 0; c < n_cells; ++c) {
            for (int64_t k = offsets[c]; k < offsets[c + 1]; ++k) {
                if (connectivity[k] < 0 || static_cast<uint64_t>(connectivity[k]) >= n_points) __builtin_trap();
            }
        }
        for (uint64_t i = 0; i < kovan_n_diagnostics(doc); ++i) {
            kovan_diagnostic d;
            kovan_diagnostic_at(doc, i, &d);
        }
        for (uint64_t s = 0; s < kovan_n_steps(doc); ++s) {
            double time;
            kovan_step_time(doc, s, &time);
            sink = sink + touch_arrays(doc, s);
        }
        if (kovan_steps_parsed(doc) != kovan_n_steps(doc)) __builtin_trap();
        kovan_close(doc);
    }
    return 0;
}
