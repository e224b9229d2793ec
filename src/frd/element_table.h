// The table that ties CalculiX element type codes to VTK cell types.
#pragma once

#include <cstdint>

namespace kovan {

constexpr uint32_t kMaxElementNodes = 20;

struct ElementType {
    int32_t frd_code;
    uint32_t node_count;
    uint8_t vtk_type;
    const char* description;  // what the cell is, for people: "8-node hexahedron (CalculiX type 1)"
};

// The entry for an FRD element type code, or null for an unknown code.
const ElementType* element_type_for_code(int32_t frd_code);

// The entry for a type code as read from a file (null for an unknown one),
// and the code clamped to 32 bits.
const ElementType* element_type_of(int64_t code, int32_t& code32);

// The entry whose cell is of this VTK type, or null when none is.
const ElementType* element_type_for_vtk(uint8_t vtk_type);

// VTK node k of an element is FRD node order[k]; the list has node_count
// entries. wedge_order 1 turns wedges to VTK's orientation.
const uint8_t* vtk_node_order(int32_t frd_code, uint32_t wedge_order);

}  // namespace kovan
