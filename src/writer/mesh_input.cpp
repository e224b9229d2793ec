#include "writer/mesh_input.h"

#include <cinttypes>
#include <cstdio>
#include <string>

#include "support/failure_text.h"
#include "frd/element_table.h"
#include "frd/format.h"

namespace kovan {
namespace {

constexpr size_t kMessageBytes = 160;

kovan_status refuse(const char* message) {
    set_thread_error(message);
    return KOVAN_ERR_PARSE;
}

template <typename... Args>
kovan_status refuse(const char* format, Args... args) {
    char message[kMessageBytes];
    std::snprintf(message, sizeof message, format, args...);
    set_thread_error(message);
    return KOVAN_ERR_PARSE;
}

bool fits_i32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Touching continuation fields must each fit their width to read back.
bool fits_width(int64_t v, int width) { return std::to_string(v).size() <= static_cast<size_t>(width); }

// The FRD node list of a cell: FRD node j is VTK node order[j], the inverse
// of the order the reader applies, so that a cell reads back as given.
void frd_order(const ElementType& type, uint32_t wedge_order, uint8_t inverse[kMaxElementNodes]) {
    const uint8_t* vtk_order = vtk_node_order(type.frd_code, wedge_order);
    for (uint32_t k = 0; k < type.node_count; ++k) inverse[vtk_order[k]] = static_cast<uint8_t>(k);
}

Block fresh_block(BlockKey kind, uint32_t format, uint64_t count) {
    Block block;
    block.kind = kind;
    block.format = format;
    block.stated_count = static_cast<int64_t>(count);
    return block;
}

kovan_status add_cell(Writer& writer, const CellInput& cells, uint64_t i, std::vector<int64_t>& collected) {
    const ElementType* type = element_type_for_vtk(cells.types[i]);
    if (type == nullptr) {
        return refuse("cell %" PRIu64 " has VTK type %u, which has no CalculiX element code", i,
                      static_cast<unsigned>(cells.types[i]));
    }
    const int64_t begin = cells.offsets[i], end = cells.offsets[i + 1];
    const int64_t count = end < begin ? -static_cast<int64_t>(static_cast<uint64_t>(begin) - static_cast<uint64_t>(end))
                                      : static_cast<int64_t>(static_cast<uint64_t>(end) - static_cast<uint64_t>(begin));
    if (end < begin || count != static_cast<int64_t>(type->node_count)) {
        return refuse("cell %" PRIu64 " has %" PRId64 " points, but its type needs %u", i, count, type->node_count);
    }
    collected.clear();
    for (int64_t j = begin; j < end; ++j) {
        const int64_t p = cells.connectivity[j];
        if (p < 0 || static_cast<uint64_t>(p) >= writer.node_ids.size()) {
            return refuse("cell connectivity refers to a point that is not in the mesh");
        }
        collected.push_back(writer.node_ids[static_cast<size_t>(p)]);
    }
    const int64_t id = cells.ids != nullptr ? cells.ids[i] : static_cast<int64_t>(i + 1);
    if (is_binary(static_cast<int32_t>(writer.format)) && !fits_i32(id)) {
        return refuse("cell %" PRIu64 " has element id %" PRId64 ", which the 32-bit fields of a binary FRD file cannot carry", i, id);
    }
    const int width = ascii_id_width(static_cast<int32_t>(writer.format));
    for (int64_t node : collected) {
        if (!is_binary(static_cast<int32_t>(writer.format)) && !fits_width(node, width)) {
            return refuse("cell %" PRIu64 " names node %" PRId64 ", which needs more than the %d characters of a node field in this format", i, node, width);
        }
    }
    uint8_t order[kMaxElementNodes];
    frd_order(*type, cells.wedge_order, order);
    ElementRecord element{id, type->frd_code, 1, 1, std::vector<int64_t>(type->node_count)};
    for (uint32_t k = 0; k < type->node_count; ++k) element.node_ids[k] = collected[order[k]];
    Block& block = writer.element_block;
    block.entries.push_back({static_cast<int64_t>(block.elements.size())});
    block.elements.push_back(std::move(element));
    return KOVAN_OK;
}

}  // namespace

kovan_status set_nodes(Writer& writer, uint64_t n_points, const int64_t* node_ids, const double* points) {
    if (node_ids != nullptr && is_binary(static_cast<int32_t>(writer.format))) {
        for (uint64_t i = 0; i < n_points; ++i) {
            if (!fits_i32(node_ids[i])) {
                return refuse("node id %" PRId64 " of point %" PRIu64 " does not fit the 32-bit fields of a binary FRD file", node_ids[i], i);
            }
        }
    }
    Block block = fresh_block(BlockKey::kNodes, writer.format, n_points);
    std::vector<int64_t> ids(static_cast<size_t>(n_points));
    block.nodes.resize(static_cast<size_t>(n_points));
    block.entries.resize(static_cast<size_t>(n_points));
    for (uint64_t i = 0; i < n_points; ++i) {
        ids[i] = node_ids != nullptr ? node_ids[i] : static_cast<int64_t>(i + 1);
        block.nodes[i] = NodeRecord{ids[i], points[3 * i], points[3 * i + 1], points[3 * i + 2]};
        block.entries[i].index = static_cast<int64_t>(i);
    }
    writer.node_ids = std::move(ids);
    writer.node_block = std::move(block);
    return KOVAN_OK;
}

kovan_status set_cells(Writer& writer, const CellInput& cells) {
    // There is no double-precision element record: format 3 writes elements in 2.
    const uint32_t format = writer.format == kBinaryDouble ? uint32_t{kBinaryFloat} : writer.format;
    writer.element_block = fresh_block(BlockKey::kElements, format, cells.n_cells);
    writer.element_block.elements.reserve(static_cast<size_t>(cells.n_cells));
    writer.element_block.entries.reserve(static_cast<size_t>(cells.n_cells));
    std::vector<int64_t> collected;
    collected.reserve(kMaxElementNodes);
    for (uint64_t i = 0; i < cells.n_cells; ++i) {
        const kovan_status status = add_cell(writer, cells, i, collected);
        if (status != KOVAN_OK) return status;
    }
    return KOVAN_OK;
}

}  // namespace kovan
