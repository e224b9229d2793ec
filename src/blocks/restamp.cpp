#include "blocks/restamp.h"

namespace kovan {

std::string restamped_header(const Block& block, int32_t code) {
    std::string header = block.lines.empty() ? std::string() : block.lines[0];
    if (block.format_restampable && block.format_field_at < header.size() && code >= 0 && code <= 3) {
        header[block.format_field_at] = static_cast<char>('0' + code);
    }
    return header;
}

}  // namespace kovan
