// Writing FRD files from VTK-style meshes and per-point arrays.
#include <new>

#include "api/guard.h"
#include "api/returned_buffer.h"
#include "kovan.h"
#include "writer/finish.h"
#include "writer/mesh_input.h"
#include "writer/result_arrays.h"

using namespace kovan;

namespace {

Writer* writer_of(kovan_writer* handle) { return reinterpret_cast<Writer*>(handle); }

bool usable(kovan_writer* handle) { return handle != nullptr && !writer_of(handle)->finished; }

}  // namespace

extern "C" {

KOVAN_API kovan_writer* kovan_writer_new(uint32_t format) {
    if (format > 3) return nullptr;
    Writer* writer = new (std::nothrow) Writer;
    if (writer == nullptr) return nullptr;
    writer->format = format;
    return reinterpret_cast<kovan_writer*>(writer);
}

KOVAN_API void kovan_writer_free(kovan_writer* writer) { delete writer_of(writer); }

KOVAN_API kovan_status kovan_writer_set_nodes(kovan_writer* writer, uint64_t n_points, const int64_t* node_ids,
                                              const double* points) {
    if (!usable(writer) || (n_points != 0 && points == nullptr)) return KOVAN_ERR_ARG;
    return guarded([&] { return set_nodes(*writer_of(writer), n_points, node_ids, points); });
}

KOVAN_API kovan_status kovan_writer_set_cells(kovan_writer* writer, uint64_t n_cells, const uint8_t* cell_types,
                                              const int64_t* cell_offsets, const int64_t* cell_connectivity,
                                              const int64_t* cell_ids, uint32_t wedge_order) {
    if (!usable(writer) || wedge_order > 1) return KOVAN_ERR_ARG;
    if (n_cells != 0 && (cell_types == nullptr || cell_offsets == nullptr || cell_connectivity == nullptr)) {
        return KOVAN_ERR_ARG;
    }
    const CellInput cells{n_cells, cell_types, cell_offsets, cell_connectivity, cell_ids, wedge_order};
    return guarded([&] { return set_cells(*writer_of(writer), cells); });
}

KOVAN_API kovan_status kovan_writer_begin_step(kovan_writer* writer, int32_t step_number, double time) {
    if (!usable(writer)) return KOVAN_ERR_ARG;
    begin_step(*writer_of(writer), step_number, time);
    return KOVAN_OK;
}

KOVAN_API kovan_status kovan_writer_add_array(kovan_writer* writer, const char* name, uint32_t n_components,
                                              const char* const* component_names, uint32_t type_code,
                                              const double* values) {
    if (!usable(writer) || name == nullptr || !writer_of(writer)->step_open || n_components == 0 ||
        values == nullptr) {
        return KOVAN_ERR_ARG;
    }
    const ArrayInput array{name, n_components, component_names, type_code, values};
    return guarded([&] { return add_array(*writer_of(writer), array); });
}

KOVAN_API kovan_status kovan_writer_finish(kovan_writer* writer, char** out, uint64_t* out_size) {
    if (!usable(writer) || out == nullptr || out_size == nullptr) return KOVAN_ERR_ARG;
    writer_of(writer)->finished = true;
    *out = nullptr;
    *out_size = 0;
    return guarded([&] {
        return hand_out(finish_file(*writer_of(writer)), out, out_size) ? kovan_status{KOVAN_OK} : kovan_status{KOVAN_ERR_NOMEM};
    });
}

}  // extern "C"
