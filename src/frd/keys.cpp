#include "frd/keys.h"

namespace kovan {

BlockKey block_key(std::string_view trimmed) {
    if (trimmed.size() >= 2 && trimmed[0] == '2' && trimmed[1] == 'C') return BlockKey::kNodes;
    if (trimmed.size() >= 2 && trimmed[0] == '3' && trimmed[1] == 'C') return BlockKey::kElements;
    if (trimmed.size() >= 3 && trimmed.substr(0, 3) == "100") return BlockKey::kResults;
    return BlockKey::kNone;
}

}  // namespace kovan
