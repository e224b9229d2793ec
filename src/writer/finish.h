// Framing a Writer's blocks into a complete FRD file.
#pragma once

#include "blocks/output_text.h"

#include "writer/writer.h"

namespace kovan {

// The whole file: opening records, node block, element block (when it holds
// cells), each array's step line and result block, and " 9999".
OutputText finish_file(Writer& writer);

}  // namespace kovan
