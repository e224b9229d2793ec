// Opens an FRD file and prints its mesh, steps and arrays: a first look at a file,
// and an example of the C interface in use.
#include <cinttypes>
#include <cstdio>
#include <map>

#include "kovan.h"

namespace {

void print_mesh(const kovan_document* doc) {
    const uint64_t n_points = kovan_n_points(doc);
    const uint64_t n_cells = kovan_n_cells(doc);
    std::printf("points: %" PRIu64 "\n", n_points);
    if (n_points > 0) {
        const double* p = kovan_points(doc);
        const int64_t* ids = kovan_node_ids(doc);
        std::printf("  first node %" PRId64 " at (%g, %g, %g)\n", ids[0], p[0], p[1], p[2]);
        const uint64_t last = n_points - 1;
        std::printf("  last node %" PRId64 " at (%g, %g, %g)\n", ids[last], p[3 * last], p[3 * last + 1],
                    p[3 * last + 2]);
    }
    std::printf("cells: %" PRIu64 "\n", n_cells);
    std::map<unsigned, uint64_t> by_type;
    const uint8_t* types = kovan_cell_types(doc);
    for (uint64_t c = 0; c < n_cells; ++c) ++by_type[types[c]];
    for (const auto& [type, count] : by_type) {
        std::printf("  %s, VTK type %u: %" PRIu64 "\n", kovan_cell_type_description(type), type, count);
    }
}

// Each array of a step with the range of its values.
void print_arrays(kovan_document* doc, uint64_t step) {
    uint64_t n_arrays = 0;
    if (kovan_n_arrays(doc, step, &n_arrays) != KOVAN_OK) {
        std::printf("    (not decoded: %s)\n", kovan_last_error(nullptr));
        return;
    }
    for (uint64_t a = 0; a < n_arrays; ++a) {
        kovan_array_info info;
        const double* values = nullptr;
        if (kovan_array_info_at(doc, step, a, &info) != KOVAN_OK) continue;
        if (kovan_array_data(doc, step, a, &values) != KOVAN_OK) continue;
        const uint64_t n = info.n_tuples * info.n_components;
        double low = n > 0 ? values[0] : 0.0, high = low;
        for (uint64_t i = 1; i < n; ++i) {
            if (values[i] < low) low = values[i];
            if (values[i] > high) high = values[i];
        }
        std::printf("    %-16s %u component(s)%s, values %g .. %g\n", info.name, info.n_components,
                    info.derived ? ", derived" : "", low, high);
    }
}

void print_steps(kovan_document* doc) {
    const uint64_t n_steps = kovan_n_steps(doc);
    std::printf("steps: %" PRIu64 "\n", n_steps);
    for (uint64_t s = 0; s < n_steps; ++s) {
        double time = 0.0;
        if (kovan_step_time(doc, s, &time) != KOVAN_OK) continue;
        std::printf("  step %" PRIu64 ": time %g\n", s, time);
        print_arrays(doc, s);
    }
}

void print_diagnostics(const kovan_document* doc) {
    const uint64_t n = kovan_n_diagnostics(doc);
    std::printf("diagnostics: %" PRIu64 "\n", n);
    for (uint64_t i = 0; i < n; ++i) {
        kovan_diagnostic d;
        if (kovan_diagnostic_at(doc, i, &d) != KOVAN_OK) continue;
        std::printf("  line %" PRId64 ": %s (element type %d, expected %" PRId64 ", found %" PRId64 ")\n", d.line,
                    kovan_diagnostic_description(d.kind), d.element_type, d.expected, d.found);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.frd\n", argv[0]);
        return 2;
    }
    kovan_document* doc = nullptr;
    const kovan_status status = kovan_open(argv[1], &doc);
    if (status != KOVAN_OK) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[1], kovan_status_message(status), kovan_last_error(nullptr));
        return 1;
    }
    std::printf("%s\n", argv[1]);
    print_mesh(doc);
    print_steps(doc);
    print_diagnostics(doc);
    kovan_close(doc);
    return 0;
}
