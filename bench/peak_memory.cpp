// Peak resident memory of what a viewer does with a file: open it by its
// path, then decode every step and let it go, one after another; beside the
// bound that memory must stay within: the mesh, the two largest steps and
// 64 MB (never the file's size). One file per process, so that the peak is
// this file's alone.
// Usage: kovan_peak_memory FILE   (prints "peak_MB bound_MB ratio")
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "kovan.h"

namespace {

double peak_rss_bytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024.0;
}

double mesh_bytes(const kovan_document* doc) {
    const double points = double(kovan_n_points(doc)), cells = double(kovan_n_cells(doc));
    const double connectivity = double(kovan_cell_offsets(doc)[kovan_n_cells(doc)]);
    return points * (8 + 24) + cells * (1 + 8 + 8) + 8 + connectivity * 8;
}

// The bytes of a step's arrays, derived ones included; -1 when it does not decode.
double step_bytes(kovan_document* doc, uint64_t step) {
    uint64_t n = 0;
    if (kovan_n_arrays(doc, step, &n) != KOVAN_OK) return -1;
    double bytes = 0;
    for (uint64_t a = 0; a < n; ++a) {
        kovan_array_info info{};
        kovan_array_info_at(doc, step, a, &info);
        bytes += double(info.n_tuples) * info.n_components * 8;
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kovan_peak_memory FILE\n");
        return 2;
    }
    const double before = peak_rss_bytes();  // the program and its libraries
    kovan_document* doc = nullptr;
    if (kovan_open(argv[1], &doc) != KOVAN_OK) return 4;
    std::vector<double> steps;
    for (uint64_t s = 0; s < kovan_n_steps(doc); ++s) {
        const double bytes = step_bytes(doc, s);
        if (bytes < 0) return 5;
        steps.push_back(bytes);
        kovan_release_step(doc, s);
    }
    std::sort(steps.begin(), steps.end(), std::greater<double>());
    double bound = mesh_bytes(doc) + 64e6;
    for (size_t i = 0; i < std::min<size_t>(2, steps.size()); ++i) bound += steps[i];
    const double peak = peak_rss_bytes() - before;
    std::printf("%.1f %.1f %.3f\n", peak / 1e6, bound / 1e6, peak / bound);
    kovan_close(doc);
    return 0;
}
