#include "frd/block_failures.h"

namespace kovan {

std::string binary_block_failure(BlockKey key, const BlockHeader& header, const BlockEnd& end) {
    const std::string count = std::to_string(header.count);
    switch (key) {
        case BlockKey::kNodes:
            return "truncated binary node block: the header declares " + count + " nodes in format " +
                   std::to_string(header.format) + ", and the file does not hold that many records";
        case BlockKey::kElements:
            if (end.failure == BlockEnd::kUnknownElementType) {
                return "unreadable binary element block: the header declares " + count +
                       " elements, and one of them names element type " + std::to_string(end.element_type) +
                       ", whose node count is unknown, so the records after it cannot be located";
            }
            return "unreadable binary element block: the header declares " + count +
                   " elements, and the records run past the end of the file";
        default:
            return "truncated binary result block: the header declares " + count +
                   " records, and the file does not hold that many";
    }
}

}  // namespace kovan
