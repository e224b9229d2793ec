// Fuzz target: any bytes opened as a document, every query asked, every
// step decoded and every array read; then the same bytes read through the
// caller's functions in small windows, and grown from a prefix by a
// reopen, must read as they read in memory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "api/handle.h"
#include "document/open.h"
#include "document_snapshot.h"
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

struct Bytes {
    std::string bytes;
    uint64_t size = 0;  // what the source holds now: a prefix, then all
};

int64_t read_bytes(void* context, uint64_t offset, void* into, uint64_t count) {
    const auto& b = *static_cast<const Bytes*>(context);
    if (offset >= b.size) return 0;
    const uint64_t n = std::min<uint64_t>(count, b.size - offset);
    std::memcpy(into, b.bytes.data() + offset, n);
    return static_cast<int64_t>(n);
}

uint64_t bytes_size(void* context) { return static_cast<const Bytes*>(context)->size; }

kovan_document* open_in_windows(Bytes& bytes, uint64_t window) {
    auto source = std::make_shared<kovan::Source>();
    source->kind = kovan::Source::kCaller;
    source->caller = kovan_source{read_bytes, bytes_size, nullptr, &bytes};
    kovan::Document* doc = nullptr;
    if (kovan::open_document(source, 0, doc, window) != KOVAN_OK) return nullptr;
    return kovan::as_handle(doc);
}

// Read through small windows, the bytes read as they do in memory; a prefix
// grown to them and reopened, too.
void check_sources(const uint8_t* data, size_t size) {
    if (size < 2) return;
    const kovan_test::DocumentSnapshot memory = kovan_test::snapshot(data, size);
    Bytes bytes{std::string(reinterpret_cast<const char*>(data), size), size};
    kovan_document* windowed = open_in_windows(bytes, 1 + data[0] % 13);
    if ((windowed != nullptr) != memory.opened) __builtin_trap();
    if (windowed == nullptr) return;
    if (!kovan_test::reading_difference(kovan_test::snapshot_of(windowed), memory).empty()) __builtin_trap();
    bytes.size = size * data[1] / 256;
    kovan_document* prefix = open_in_windows(bytes, 1 + data[1] % 7);
    if (prefix == nullptr) return;  // a prefix that does not open (a binary block cut in its header)
    bytes.size = size;
    kovan_document* grown = nullptr;
    if (kovan_reopen(prefix, &grown) != KOVAN_OK) __builtin_trap();
    kovan_close(prefix);
    if (!kovan_test::reading_difference(kovan_test::snapshot_of(grown), memory).empty()) __builtin_trap();
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
    check_sources(data, size);
    return 0;
}
