// Texts for people about what the library hands out: one source for every
// program that shows them.
#include "document/diagnostic_kinds.h"
#include "frd/element_table.h"
#include "kovan.h"

using namespace kovan;

extern "C" {

KOVAN_API const char* kovan_cell_type_description(int32_t vtk_type) {
    if (vtk_type < 0 || vtk_type > 255) return "";
    const ElementType* type = element_type_for_vtk(static_cast<uint8_t>(vtk_type));
    return type == nullptr ? "" : type->description;
}

KOVAN_API const char* kovan_diagnostic_description(int32_t kind) { return diagnostic_description(kind); }

}  // extern "C"
