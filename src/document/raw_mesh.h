// The nodes and elements a parse collects before they become the mesh.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "frd/element_line.h"
#include "frd/element_table.h"

namespace kovan {

struct RawMesh {
    std::vector<int64_t> node_ids;    // in order of first appearance
    std::vector<double> coordinates;  // x, y, z per node
    // Built only once a node arrives out of ascending order: a strictly
    // ascending run cannot repeat a node, and CalculiX writes nodes in order.
    std::unordered_map<int64_t, uint64_t> node_index;
    bool nodes_ascending = true;
    std::vector<int64_t> element_nodes;  // node numbers in VTK order, element after element
    std::vector<uint64_t> element_ends;  // end of each element in element_nodes
    std::vector<uint8_t> element_types;
    std::vector<int64_t> element_ids;
    std::vector<int32_t> element_groups;
    std::vector<int32_t> element_materials;
};

void reserve_nodes(RawMesh& mesh, uint64_t count);
void reserve_elements(RawMesh& mesh, uint64_t count);

// A node listed again keeps its first position and takes its last coordinates.
void add_node(RawMesh& mesh, int64_t id, double x, double y, double z);

// Appends an element in VTK node order, with the group and material its
// record states; FRD node numbers past the type's node count are ignored.
void add_element(RawMesh& mesh, const ElementLine& fields, const ElementType& type, const int64_t* frd_nodes,
                 uint32_t wedge_order);

}  // namespace kovan
