// Turning the nodes and elements a parse collected into the document's mesh
// arrays.
#pragma once

#include "document/mesh.h"
#include "document/raw_mesh.h"

namespace kovan {

// Sorts the nodes, builds points and cells (dropping elements that name a
// node no block defined); the raw mesh is used up.
void finalise_mesh(RawMesh& raw, Mesh& mesh);

}  // namespace kovan
