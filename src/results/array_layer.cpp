#include "results/array_layer.h"

#include <algorithm>
#include <limits>
#include <stdexcept>


namespace kovan {
namespace {

void check_size(uint64_t n_points, uint64_t c) {
    const uint64_t max_values = std::numeric_limits<size_t>::max() / sizeof(double);
    if (c > std::numeric_limits<uint32_t>::max() || (n_points != 0 && c > max_values / n_points)) {
        throw std::length_error("result array of " + std::to_string(n_points) + " points by " +
                                std::to_string(c) + " components");
    }
}

// The point of a node, or UINT64_MAX when it is not in the mesh. Records
// mostly come in node order, so the point after the previous one is tried
// before the hash map.
uint64_t point_of(const Mesh& mesh, int64_t node, uint64_t previous) {
    const uint64_t next = previous + 1;  // 0 after UINT64_MAX
    if (next < mesh.node_ids.size() && mesh.node_ids[next] == node) return next;
    return find_point(mesh, node);
}

std::string component_conflict(const std::string& name, int64_t node, uint64_t n, uint64_t c) {
    return "array '" + name + "': node " + std::to_string(node) + " has " + std::to_string(n) +
           " components, expected " + std::to_string(c);
}

}  // namespace

// Rows are written once: points before the first one filled get `missing`
// as the rows are appended, so memory is not filled first and written again.
double* ArrayLayer::row(uint64_t p) {
    const uint64_t c = array.n_components;
    if (p < filled) return &array.values[p * c];
    array.values.resize(p * c, missing);  // the points without record
    array.values.insert(array.values.end(), c, 0.0);
    filled = p + 1;
    return &array.values[p * c];
}

bool ArrayLayer::add_any(int64_t node, const double* values, uint64_t n) {
    if (ascending_only && !empty && node <= last_node) return false;
    if (empty) {
        check_size(mesh->node_ids.size(), n);
        array.values = take_buffer(pool, static_cast<size_t>(mesh->node_ids.size() * n));
        array.n_components = static_cast<uint32_t>(n);
        empty = false;
    }
    last_node = node;
    if (status != KOVAN_OK) return true;
    point = point_of(*mesh, node, point);
    if (point == UINT64_MAX) return true;
    const uint64_t c = array.n_components;
    if (c == 1 || n == c) {
        std::copy(values, values + c, row(point));
        ++array.points_with_values;
    } else if (n == 1) {
        std::fill_n(row(point), c, values[0]);
        ++array.points_with_values;
    } else {
        status = KOVAN_ERR_COMPONENTS;
        error = component_conflict(array.name, node, n, c);
    }
    return true;
}

void ArrayLayer::finish() {
    if (!empty) array.values.resize(mesh->node_ids.size() * array.n_components, missing);
}

}  // namespace kovan
