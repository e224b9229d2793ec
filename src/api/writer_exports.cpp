// Writing FRD files from VTK-style meshes and per-point arrays.
#include <new>

#include "api/guard.h"
#include "api/refusal.h"
#include "api/returned_buffer.h"
#include "support/failure_text.h"
#include "kovan.h"
#include "writer/finish.h"
#include "writer/mesh_input.h"
#include "writer/result_arrays.h"

using namespace kovan;

namespace {

Writer* writer_of(kovan_writer* handle) { return reinterpret_cast<Writer*>(handle); }

// Null when the writer takes calls; else the text of why it does not.
const char* unusable(kovan_writer* handle) {
    if (handle == nullptr) return "writer is null";
    if (writer_of(handle)->finished) return "the writer is finished: only kovan_writer_free may follow";
    return nullptr;
}

}  // namespace

extern "C" {

KOVAN_API kovan_writer* kovan_writer_new(uint32_t format) {
    if (format > 3) {
        refuse_argument("format is not one of 0 to 3, the formats a writer writes");
        return nullptr;
    }
    Writer* writer = new (std::nothrow) Writer;
    if (writer == nullptr) {
        set_thread_error("out of memory while making a writer");
        return nullptr;
    }
    writer->format = format;
    return reinterpret_cast<kovan_writer*>(writer);
}

KOVAN_API void kovan_writer_free(kovan_writer* writer) { delete writer_of(writer); }

KOVAN_API kovan_status kovan_writer_set_nodes(kovan_writer* writer, uint64_t n_points, const int64_t* node_ids,
                                              const double* points) {
    if (const char* why = unusable(writer)) return refuse_argument(why);
    if (n_points != 0 && points == nullptr) return refuse_argument("points is null while n_points is above 0");
    return guarded([&] { return set_nodes(*writer_of(writer), n_points, node_ids, points); });
}

KOVAN_API kovan_status kovan_writer_set_cells(kovan_writer* writer, uint64_t n_cells, const uint8_t* cell_types,
                                              const int64_t* cell_offsets, const int64_t* cell_connectivity,
                                              const int64_t* cell_ids, uint32_t wedge_order) {
    if (const char* why = unusable(writer)) return refuse_argument(why);
    if (wedge_order > 1) return refuse_argument("wedge_order is above 1: it takes 0 (FRD's order) or 1 (VTK's)");
    if (n_cells != 0 && (cell_types == nullptr || cell_offsets == nullptr || cell_connectivity == nullptr)) {
        return refuse_argument("cell_types, cell_offsets or cell_connectivity is null while n_cells is above 0");
    }
    const CellInput cells{n_cells, cell_types, cell_offsets, cell_connectivity, cell_ids, wedge_order};
    return guarded([&] { return set_cells(*writer_of(writer), cells); });
}

KOVAN_API kovan_status kovan_writer_begin_step(kovan_writer* writer, int32_t step_number, double time) {
    if (const char* why = unusable(writer)) return refuse_argument(why);
    begin_step(*writer_of(writer), step_number, time);
    return KOVAN_OK;
}

KOVAN_API kovan_status kovan_writer_add_array(kovan_writer* writer, const char* name, uint32_t n_components,
                                              const char* const* component_names, uint32_t type_code,
                                              const double* values) {
    if (const char* why = unusable(writer)) return refuse_argument(why);
    if (name == nullptr) return refuse_null("name");
    if (values == nullptr) return refuse_null("values");
    if (n_components == 0) return refuse_argument("n_components is 0");
    if (!writer_of(writer)->step_open) return refuse_argument("no kovan_writer_begin_step came before this array");
    const ArrayInput array{name, n_components, component_names, type_code, values};
    return guarded([&] { return add_array(*writer_of(writer), array); });
}

KOVAN_API kovan_status kovan_writer_finish(kovan_writer* writer, char** out, uint64_t* out_size) {
    if (const char* why = unusable(writer)) return refuse_argument(why);
    if (out == nullptr) return refuse_null("out");
    if (out_size == nullptr) return refuse_null("out_size");
    writer_of(writer)->finished = true;
    *out = nullptr;
    *out_size = 0;
    return guarded([&] { return hand_out(finish_file(*writer_of(writer)), out, out_size); });
}

}  // extern "C"
