// What a block's bytes were when its document indexed them: a hash of its
// first and last bytes (its header lines and first records, its last
// records), enough to tell a file that a new run of the solver rewrote
// from the one that was opened, without reading it again. A file that only
// grew keeps the marks of every block it held.
#pragma once

#include <cstdint>

#include "io/source.h"

namespace kovan {

struct BlockMark {
    uint64_t begin = 0;  // the block's header line
    uint64_t end = 0;    // the end of what is marked: its records' end, or its first bytes' for a mesh block
    uint64_t hash = 0;
};

// The mark of bytes `begin` .. `end` as the source holds them now; false
// when they cannot be read (or are not all there any more).
bool mark_bytes(const Source& source, uint64_t begin, uint64_t end, uint64_t& hash);

// Whether the source holds the marked bytes as they were marked.
bool still_marked(const Source& source, const BlockMark& mark);

// How many first bytes of a node or element block its mark covers.
constexpr uint64_t kMeshMarkBytes = 512;

}  // namespace kovan
