#include "document/mesh_finalise.h"

#include <algorithm>

namespace kovan {
namespace {

template <typename T>
void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

void index_points(Mesh& mesh) {
    const uint64_t n = mesh.node_ids.size();
    mesh.first_id = n != 0 ? mesh.node_ids[0] : 0;
    mesh.dense_ids = n == 0 || static_cast<uint64_t>(mesh.node_ids[n - 1]) - static_cast<uint64_t>(mesh.first_id) == n - 1;
    if (mesh.dense_ids) return;  // ascending and unique, so the ends tell
    mesh.point_index.reserve(n);
    for (uint64_t i = 0; i < n; ++i) mesh.point_index.emplace(mesh.node_ids[i], i);
}

void finalise_points(RawMesh& raw, Mesh& mesh) {
    if (raw.nodes_ascending) {
        mesh.node_ids = std::move(raw.node_ids);
        mesh.points = std::move(raw.coordinates);
        index_points(mesh);
        return;
    }
    mesh.node_ids = raw.node_ids;
    std::sort(mesh.node_ids.begin(), mesh.node_ids.end());
    mesh.points.resize(3 * mesh.node_ids.size());
    for (uint64_t i = 0; i < mesh.node_ids.size(); ++i) {
        const double* xyz = &raw.coordinates[3 * raw.node_index.at(mesh.node_ids[i])];
        std::copy(xyz, xyz + 3, &mesh.points[3 * i]);
    }
    index_points(mesh);
}

bool all_nodes_known(const Mesh& mesh, const std::vector<int64_t>& nodes, uint64_t begin, uint64_t end) {
    for (uint64_t k = begin; k < end; ++k) {
        if (find_point(mesh, nodes[k]) == UINT64_MAX) return false;
    }
    return true;
}

// Elements that name a missing node are dropped. The raw arrays become the
// cell arrays in place (node numbers turned into point indices, kept
// elements moved forward over dropped ones), so a large mesh is not held
// twice.
void finalise_cells(RawMesh& raw, Mesh& mesh) {
    const size_t n = raw.element_types.size();
    std::vector<int64_t>& nodes = raw.element_nodes;
    mesh.cell_offsets.reserve(n + 1);
    mesh.cell_offsets.push_back(0);
    uint64_t begin = 0, kept_nodes = 0;
    size_t kept = 0;
    for (size_t e = 0; e < n; ++e) {
        const uint64_t end = raw.element_ends[e];
        if (all_nodes_known(mesh, nodes, begin, end)) {
            // Each number is read before anything is written over it.
            for (uint64_t k = begin; k < end; ++k) {
                nodes[kept_nodes++] = static_cast<int64_t>(find_point(mesh, nodes[k]));
            }
            mesh.cell_offsets.push_back(static_cast<int64_t>(kept_nodes));
            raw.element_types[kept] = raw.element_types[e];
            raw.element_ids[kept] = raw.element_ids[e];
            raw.element_groups[kept] = raw.element_groups[e];
            raw.element_materials[kept] = raw.element_materials[e];
            ++kept;
        }
        begin = end;
    }
    nodes.resize(kept_nodes);
    raw.element_types.resize(kept);
    raw.element_ids.resize(kept);
    raw.element_groups.resize(kept);
    raw.element_materials.resize(kept);
    mesh.connectivity = std::move(nodes);
    mesh.cell_types = std::move(raw.element_types);
    mesh.cell_ids = std::move(raw.element_ids);
    mesh.cell_groups = std::move(raw.element_groups);
    mesh.cell_materials = std::move(raw.element_materials);
}

}  // namespace

void finalise_mesh(RawMesh& raw, Mesh& mesh) {
    mesh.cell_offsets.clear();
    finalise_points(raw, mesh);
    finalise_cells(raw, mesh);
    release(raw.element_nodes);
    release(raw.element_ends);
    release(raw.element_types);
    release(raw.element_ids);
    release(raw.element_groups);
    release(raw.element_materials);
    release(raw.node_ids);
    release(raw.coordinates);
    raw.node_index = {};
}

}  // namespace kovan
