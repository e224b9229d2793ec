// Fuzz target: any bytes converted to every target; a conversion to binary
// double precision, which carries every value exactly, must keep the mesh.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kovan.h"

namespace {

struct Mesh {
    std::vector<int64_t> ids, offsets, connectivity, cell_ids;
    std::vector<uint8_t> types;
    std::vector<double> points;
};

bool read_mesh(const void* data, uint64_t size, Mesh& mesh) {
    kovan_document* doc = nullptr;
    if (kovan_open_memory(data, size, nullptr, &doc) != KOVAN_OK) return false;
    const uint64_t np = kovan_n_points(doc), nc = kovan_n_cells(doc);
    if (np) mesh.ids.assign(kovan_node_ids(doc), kovan_node_ids(doc) + np);
    if (np) mesh.points.assign(kovan_points(doc), kovan_points(doc) + 3 * np);
    if (nc) mesh.types.assign(kovan_cell_types(doc), kovan_cell_types(doc) + nc);
    if (nc) mesh.cell_ids.assign(kovan_cell_ids(doc), kovan_cell_ids(doc) + nc);
    mesh.offsets.assign(kovan_cell_offsets(doc), kovan_cell_offsets(doc) + nc + 1);
    if (mesh.offsets.back() > 0) {
        mesh.connectivity.assign(kovan_cell_connectivity(doc), kovan_cell_connectivity(doc) + mesh.offsets.back());
    }
    kovan_close(doc);
    return true;
}

bool same_points(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Mesh input;
    const bool input_opens = read_mesh(data, size, input);
    for (int32_t format = -1; format <= 3; ++format) {
        char* out = nullptr;
        uint64_t out_size = 0;
        const kovan_status status = kovan_rewrite_memory(data, size, format, &out, &out_size);
        if (status != KOVAN_OK) {
            if (out != nullptr || out_size != 0) __builtin_trap();
            continue;
        }
        if (out[out_size] != '\0') __builtin_trap();
        Mesh output;
        const bool output_opens = read_mesh(out, out_size, output);
        if (format == KOVAN_FORMAT_BINARY_DOUBLE && input_opens) {
            if (!output_opens) __builtin_trap();
            if (output.ids != input.ids || output.types != input.types || output.offsets != input.offsets ||
                output.connectivity != input.connectivity || output.cell_ids != input.cell_ids ||
                !same_points(output.points, input.points)) {
                __builtin_trap();
            }
        }
        kovan_free(out);
    }
    return 0;
}
