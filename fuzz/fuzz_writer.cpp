// Fuzz target: the Writer driven by a small command language read from the
// fuzz bytes; its file, when it finishes, must read back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kovan.h"

namespace {

struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t byte() { return at < size ? data[at++] : 0; }
    double real() {
        double v = 0.0;
        if (at + 8 <= size) std::memcpy(&v, data + at, 8);
        at += 8;
        return v;
    }
    int64_t integer() { return static_cast<int64_t>(static_cast<int8_t>(byte())) * (byte() % 4 == 0 ? 1000003 : 1); }
    bool done() const { return at >= size; }
};

const uint8_t kTypes[] = {3, 5, 9, 10, 12, 13, 14, 21, 22, 23, 24, 25, 26, 27, 7, 0};

void set_nodes(kovan_writer* w, Bytes& in, uint64_t& n_points) {
    const uint64_t n = in.byte() % 40;
    std::vector<double> points(3 * n);
    std::vector<int64_t> ids(n);
    for (double& p : points) p = in.real();
    for (int64_t& id : ids) id = in.integer();
    const bool with_ids = in.byte() % 2;
    if (kovan_writer_set_nodes(w, n, with_ids ? ids.data() : nullptr, points.data()) == KOVAN_OK) n_points = n;
}

void set_cells(kovan_writer* w, Bytes& in) {
    const uint64_t n = in.byte() % 8;
    std::vector<uint8_t> types(n);
    std::vector<int64_t> offsets(n + 1, 0), connectivity;
    for (uint64_t c = 0; c < n; ++c) {
        types[c] = kTypes[in.byte() % sizeof kTypes];
        const int count = in.byte() % 22;
        for (int k = 0; k < count; ++k) connectivity.push_back(in.byte() % 45 - 2);
        offsets[c + 1] = static_cast<int64_t>(connectivity.size());
    }
    connectivity.push_back(0);
    kovan_writer_set_cells(w, n, types.data(), offsets.data(), connectivity.data(), nullptr, in.byte() % 3);
}

void add_array(kovan_writer* w, Bytes& in, uint64_t n_points) {
    const uint32_t components = in.byte() % 14;
    std::string name = "A";
    for (int k = in.byte() % 12; k > 0; --k) name.push_back(static_cast<char>(in.byte() % 96 + 32));
    std::vector<double> values(n_points * components + 1);
    for (double& v : values) v = in.real();
    kovan_writer_add_array(w, name.c_str(), components, nullptr, in.byte(), values.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in{data, size};
    kovan_writer* w = kovan_writer_new(in.byte() % 5);
    if (w == nullptr) return 0;
    uint64_t n_points = 0;
    bool finished = false;
    while (!in.done() && !finished) {
        switch (in.byte() % 5) {
            case 0: set_nodes(w, in, n_points); break;
            case 1: set_cells(w, in); break;
            case 2: kovan_writer_begin_step(w, static_cast<int32_t>(in.integer()), in.real()); break;
            case 3: add_array(w, in, n_points); break;
            default: finished = true; break;
        }
    }
    char* out = nullptr;
    uint64_t out_size = 0;
    if (kovan_writer_finish(w, &out, &out_size) == KOVAN_OK) {
        kovan_document* doc = nullptr;
        if (kovan_open_memory(out, out_size, nullptr, &doc) != KOVAN_OK) __builtin_trap();
        for (uint64_t s = 0; s < kovan_n_steps(doc); ++s) {
            uint64_t n = 0;
            kovan_n_arrays(doc, s, &n);
        }
        kovan_close(doc);
        kovan_free(out);
    }
    kovan_writer_free(w);
    return 0;
}
