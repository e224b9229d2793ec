// A document's mesh in VTK's terms: fixed once its parse ends, and shared by
// the document of a grown file when the mesh did not change.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kovan {

struct Mesh {
    std::vector<int64_t> node_ids;  // ascending
    std::vector<double> points;     // x, y, z per node id
    // Node id to point: node ids without gaps need no map (first_id is then
    // node_ids[0]); any others are looked up in point_index.
    bool dense_ids = false;
    int64_t first_id = 0;
    std::unordered_map<int64_t, uint64_t> point_index;
    std::vector<uint8_t> cell_types;
    std::vector<int64_t> cell_ids;
    // The group and material numbers each element record states (0 where
    // one does not read, or does not fit 32 bits).
    std::vector<int32_t> cell_groups;
    std::vector<int32_t> cell_materials;
    std::vector<int64_t> cell_offsets{0};  // n_cells + 1 entries, starting at 0
    std::vector<int64_t> connectivity;     // point indices
};

// The point of a node id, or UINT64_MAX when the mesh has no such node.
inline uint64_t find_point(const Mesh& mesh, int64_t id) {
    if (mesh.dense_ids) {
        if (id < mesh.first_id) return UINT64_MAX;
        const auto point = static_cast<uint64_t>(id) - static_cast<uint64_t>(mesh.first_id);
        return point < mesh.node_ids.size() ? point : UINT64_MAX;
    }
    const auto it = mesh.point_index.find(id);
    return it == mesh.point_index.end() ? UINT64_MAX : it->second;
}

}  // namespace kovan
