// Peak resident memory of opening a file and decoding every step, beside
// what the results themselves take: the text, the mesh and every array.
// One file per process, so that the peak is this file's alone.
// Usage: kovan_peak_memory FILE   (prints "peak_MB needed_MB ratio")
#include <sys/resource.h>

#include <cstdio>

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kovan_peak_memory FILE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) return 3;
    std::fseek(file, 0, SEEK_END);
    const double text = double(std::ftell(file));
    std::fclose(file);
    const double before = peak_rss_bytes();  // the program and its libraries
    kovan_document* doc = nullptr;
    if (kovan_open(argv[1], &doc) != KOVAN_OK) return 4;
    double arrays = 0;
    for (uint64_t s = 0; s < kovan_n_steps(doc); ++s) {
        uint64_t n = 0;
        if (kovan_n_arrays(doc, s, &n) != KOVAN_OK) return 5;
        for (uint64_t a = 0; a < n; ++a) {
            kovan_array_info info{};
            kovan_array_info_at(doc, s, a, &info);
            arrays += double(info.n_tuples) * info.n_components * 8;
        }
    }
    const double needed = text + mesh_bytes(doc) + arrays;
    const double peak = peak_rss_bytes() - before;
    std::printf("%.1f %.1f %.3f\n", peak / 1e6, needed / 1e6, peak / needed);
    kovan_close(doc);
    return 0;
}
