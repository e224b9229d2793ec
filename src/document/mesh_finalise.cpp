#include "document/mesh_finalise.h"

#include <algorithm>

namespace kovan {
namespace {

template <typename T>
void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

void index_points(Document& doc) {
    const uint64_t n = doc.node_ids.size();
    doc.first_id = n != 0 ? doc.node_ids[0] : 0;
    doc.dense_ids = n == 0 || static_cast<uint64_t>(doc.node_ids[n - 1]) - static_cast<uint64_t>(doc.first_id) == n - 1;
    if (doc.dense_ids) return;  // ascending and unique, so the ends tell
    doc.point_index.reserve(n);
    for (uint64_t i = 0; i < n; ++i) doc.point_index.emplace(doc.node_ids[i], i);
}

void finalise_points(RawMesh& raw, Document& doc) {
    if (raw.nodes_ascending) {
        doc.node_ids = std::move(raw.node_ids);
        doc.points = std::move(raw.coordinates);
        index_points(doc);
        return;
    }
    doc.node_ids = raw.node_ids;
    std::sort(doc.node_ids.begin(), doc.node_ids.end());
    doc.points.resize(3 * doc.node_ids.size());
    for (uint64_t i = 0; i < doc.node_ids.size(); ++i) {
        const double* xyz = &raw.coordinates[3 * raw.node_index.at(doc.node_ids[i])];
        std::copy(xyz, xyz + 3, &doc.points[3 * i]);
    }
    index_points(doc);
}

bool all_nodes_known(const Document& doc, const std::vector<int64_t>& nodes, uint64_t begin, uint64_t end) {
    for (uint64_t k = begin; k < end; ++k) {
        if (find_point(doc, nodes[k]) == UINT64_MAX) return false;
    }
    return true;
}

// Elements that name a missing node are dropped. The raw arrays become the
// cell arrays in place (node numbers turned into point indices, kept
// elements moved forward over dropped ones), so a large mesh is not held
// twice.
void finalise_cells(RawMesh& raw, Document& doc) {
    const size_t n = raw.element_types.size();
    std::vector<int64_t>& nodes = raw.element_nodes;
    doc.cell_offsets.reserve(n + 1);
    doc.cell_offsets.push_back(0);
    uint64_t begin = 0, kept_nodes = 0;
    size_t kept = 0;
    for (size_t e = 0; e < n; ++e) {
        const uint64_t end = raw.element_ends[e];
        if (all_nodes_known(doc, nodes, begin, end)) {
            // Each number is read before anything is written over it.
            for (uint64_t k = begin; k < end; ++k) {
                nodes[kept_nodes++] = static_cast<int64_t>(find_point(doc, nodes[k]));
            }
            doc.cell_offsets.push_back(static_cast<int64_t>(kept_nodes));
            raw.element_types[kept] = raw.element_types[e];
            raw.element_ids[kept] = raw.element_ids[e];
            ++kept;
        }
        begin = end;
    }
    nodes.resize(kept_nodes);
    raw.element_types.resize(kept);
    raw.element_ids.resize(kept);
    doc.connectivity = std::move(nodes);
    doc.cell_types = std::move(raw.element_types);
    doc.cell_ids = std::move(raw.element_ids);
}

}  // namespace

void finalise_mesh(RawMesh& raw, Document& doc) {
    finalise_points(raw, doc);
    finalise_cells(raw, doc);
    release(raw.element_nodes);
    release(raw.element_ends);
    release(raw.element_types);
    release(raw.element_ids);
    release(raw.node_ids);
    release(raw.coordinates);
    raw.node_index = {};
}

}  // namespace kovan
