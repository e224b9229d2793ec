// Turning the nodes and elements collected by the block readers into the
// document's mesh arrays.
#pragma once

#include "frd/document.h"

namespace kovan {

// Sorts the nodes, builds points and cells (dropping elements that name a
// node no block defined) and releases the scratch lists.
void finalise_mesh(Document& doc);

}  // namespace kovan
