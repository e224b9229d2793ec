#include "frd/element_table.h"

#include <algorithm>
#include <array>

namespace kovan {
namespace {

constexpr std::array<ElementType, 14> kElementTypes = {{
    {1, 8, 12, "8-node hexahedron (CalculiX type 1)"},
    {2, 6, 13, "6-node wedge (CalculiX type 2)"},
    {3, 4, 10, "4-node tetrahedron (CalculiX type 3)"},
    {4, 20, 25, "20-node hexahedron (CalculiX type 4)"},
    {5, 15, 26, "15-node wedge (CalculiX type 5)"},
    {6, 10, 24, "10-node tetrahedron (CalculiX type 6)"},
    {7, 3, 5, "3-node triangle (CalculiX type 7)"},
    {8, 6, 22, "6-node triangle (CalculiX type 8)"},
    {9, 4, 9, "4-node quadrilateral (CalculiX type 9)"},
    {10, 8, 23, "8-node quadrilateral (CalculiX type 10)"},
    {11, 2, 3, "2-node beam (CalculiX type 11)"},
    {12, 3, 21, "3-node beam (CalculiX type 12)"},
    {15, 5, 14, "5-node pyramid (CalculiX type 15)"},
    {16, 13, 27, "13-node pyramid (CalculiX type 16)"},
}};

constexpr uint8_t kIdentity[kMaxElementNodes] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};

// FRD lists the vertical edges of quadratic solids before the top edges; VTK
// lists the top edges first.
constexpr uint8_t kHex20[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 12, 13, 14, 15};
constexpr uint8_t kWedge15[15] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 12, 13, 14, 9, 10, 11};

// CalculiX numbers a wedge's bottom triangle with its normal towards the top
// face, VTK away from it: swapping the second and third corner of both
// triangles (and, for 15 nodes, carrying the swap to the mid-side nodes)
// turns the cell right side out.
constexpr uint8_t kWedge6Turned[6] = {0, 2, 1, 3, 5, 4};
constexpr uint8_t kWedge15Turned[15] = {0, 2, 1, 3, 5, 4, 8, 7, 6, 14, 13, 12, 9, 11, 10};

}  // namespace

const ElementType* element_type_for_code(int32_t frd_code) {
    for (const ElementType& type : kElementTypes) {
        if (type.frd_code == frd_code) return &type;
    }
    return nullptr;
}

const ElementType* element_type_for_vtk(uint8_t vtk_type) {
    for (const ElementType& type : kElementTypes) {
        if (type.vtk_type == vtk_type) return &type;
    }
    return nullptr;
}

const uint8_t* vtk_node_order(int32_t frd_code, uint32_t wedge_order) {
    switch (frd_code) {
        case 4: return kHex20;
        case 5: return wedge_order == 1 ? kWedge15Turned : kWedge15;
        case 2: return wedge_order == 1 ? kWedge6Turned : kIdentity;
        default: return kIdentity;
    }
}

const ElementType* element_type_of(int64_t code, int32_t& code32) {
    code32 = static_cast<int32_t>(std::clamp<int64_t>(code, INT32_MIN, INT32_MAX));
    return code == code32 ? element_type_for_code(code32) : nullptr;
}

}  // namespace kovan
