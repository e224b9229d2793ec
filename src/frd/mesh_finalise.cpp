#include "frd/mesh_finalise.h"

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

void finalise_points(Document& doc) {
    if (doc.raw_nodes_ascending) {
        doc.node_ids = std::move(doc.raw_node_ids);
        doc.points = std::move(doc.raw_coordinates);
        index_points(doc);
        return;
    }
    doc.node_ids = doc.raw_node_ids;
    std::sort(doc.node_ids.begin(), doc.node_ids.end());
    doc.points.resize(3 * doc.node_ids.size());
    for (uint64_t i = 0; i < doc.node_ids.size(); ++i) {
        const double* xyz = &doc.raw_coordinates[3 * doc.raw_node_index.at(doc.node_ids[i])];
        std::copy(xyz, xyz + 3, &doc.points[3 * i]);
    }
    index_points(doc);
}

// The element's point indices, or false when one of its nodes is missing.
bool element_points(const Document& doc, uint64_t begin, uint64_t end, std::vector<int64_t>& out) {
    out.clear();
    for (uint64_t k = begin; k < end; ++k) {
        const uint64_t point = find_point(doc, doc.raw_element_nodes[k]);
        if (point == UINT64_MAX) return false;
        out.push_back(static_cast<int64_t>(point));
    }
    return true;
}

void finalise_cells(Document& doc) {
    const size_t n = doc.raw_element_types.size();
    doc.cell_offsets.reserve(n + 1);
    doc.cell_offsets.push_back(0);
    doc.cell_types.reserve(n);
    doc.cell_ids.reserve(n);
    doc.connectivity.reserve(doc.raw_element_nodes.size());
    std::vector<int64_t> points;
    uint64_t begin = 0;
    for (size_t e = 0; e < n; ++e) {
        const uint64_t end = doc.raw_element_ends[e];
        if (element_points(doc, begin, end, points)) {
            doc.connectivity.insert(doc.connectivity.end(), points.begin(), points.end());
            doc.cell_offsets.push_back(static_cast<int64_t>(doc.connectivity.size()));
            doc.cell_types.push_back(doc.raw_element_types[e]);
            doc.cell_ids.push_back(doc.raw_element_ids[e]);
        }
        begin = end;
    }
}

}  // namespace

void finalise_mesh(Document& doc) {
    finalise_points(doc);
    finalise_cells(doc);
    release(doc.raw_element_nodes);
    release(doc.raw_element_ends);
    release(doc.raw_element_types);
    release(doc.raw_element_ids);
    release(doc.raw_node_ids);
    release(doc.raw_coordinates);
}

}  // namespace kovan
