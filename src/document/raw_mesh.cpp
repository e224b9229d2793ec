#include "document/raw_mesh.h"

namespace kovan {
namespace {

void index_nodes(RawMesh& mesh) {
    mesh.nodes_ascending = false;
    mesh.node_index.reserve(mesh.node_ids.capacity());
    for (uint64_t k = 0; k < mesh.node_ids.size(); ++k) mesh.node_index.emplace(mesh.node_ids[k], k);
}

void append_node(RawMesh& mesh, int64_t id, double x, double y, double z) {
    mesh.node_ids.push_back(id);
    mesh.coordinates.insert(mesh.coordinates.end(), {x, y, z});
}

// A number that does not fit the cell arrays' 32 bits reads as 0, as one
// that does not read at all.
int32_t cell_number(int64_t number) {
    return number >= INT32_MIN && number <= INT32_MAX ? static_cast<int32_t>(number) : 0;
}

}  // namespace

void reserve_nodes(RawMesh& mesh, uint64_t count) {
    mesh.node_ids.reserve(mesh.node_ids.size() + count);
    mesh.coordinates.reserve(mesh.coordinates.size() + 3 * count);
    if (!mesh.nodes_ascending) mesh.node_index.reserve(mesh.node_index.size() + count);
}

void reserve_elements(RawMesh& mesh, uint64_t count) {
    mesh.element_ends.reserve(mesh.element_ends.size() + count);
    mesh.element_types.reserve(mesh.element_types.size() + count);
    mesh.element_ids.reserve(mesh.element_ids.size() + count);
    mesh.element_groups.reserve(mesh.element_groups.size() + count);
    mesh.element_materials.reserve(mesh.element_materials.size() + count);
}

void add_node(RawMesh& mesh, int64_t id, double x, double y, double z) {
    if (mesh.nodes_ascending && (mesh.node_ids.empty() || id > mesh.node_ids.back())) {
        append_node(mesh, id, x, y, z);
        return;
    }
    if (mesh.nodes_ascending) index_nodes(mesh);
    const auto [it, inserted] = mesh.node_index.try_emplace(id, mesh.node_ids.size());
    if (inserted) {
        append_node(mesh, id, x, y, z);
        return;
    }
    double* xyz = &mesh.coordinates[3 * it->second];
    xyz[0] = x;
    xyz[1] = y;
    xyz[2] = z;
}

void add_element(RawMesh& mesh, const ElementLine& fields, const ElementType& type, const int64_t* frd_nodes,
                 uint32_t wedge_order) {
    const uint8_t* order = vtk_node_order(type.frd_code, wedge_order);
    for (uint32_t k = 0; k < type.node_count; ++k) mesh.element_nodes.push_back(frd_nodes[order[k]]);
    mesh.element_ends.push_back(mesh.element_nodes.size());
    mesh.element_types.push_back(type.vtk_type);
    mesh.element_ids.push_back(fields.id);
    mesh.element_groups.push_back(cell_number(fields.group));
    mesh.element_materials.push_back(cell_number(fields.material));
}

}  // namespace kovan
