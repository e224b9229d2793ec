#include "frd/block_walk.h"

namespace kovan {
namespace {

// The shortest ASCII node line is " -1" and four one-character fields; the
// shortest element a " -1" line and a " -2" line.
constexpr uint64_t kShortestNodeLine = 8;
constexpr uint64_t kShortestElementLines = 16;

}  // namespace

uint64_t most_records(BlockKey key, const BlockHeader& header, uint64_t bytes_left) {
    if (header.count <= 0) return 0;
    uint64_t shortest = key == BlockKey::kNodes ? kShortestNodeLine : kShortestElementLines;
    if (is_binary(header.format)) {
        shortest = key == BlockKey::kNodes ? binary_node_record_bytes(header.format) : kBinaryElementHeaderBytes;
    }
    return std::min(static_cast<uint64_t>(header.count), bytes_left / shortest);
}

}  // namespace kovan
