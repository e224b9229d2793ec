#include "blocks/restamp.h"

#include <optional>
#include <vector>

#include "frd/block_header.h"

namespace kovan {
namespace {

std::string_view without_terminator(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

std::optional<size_t> single_digit_format_field(std::string_view header, BlockKey key) {
    std::vector<std::string_view> tokens;
    const BlockHeader read = read_header(key, without_terminator(header), tokens);
    if (!read.format_stated || read.format_size != 1) return std::nullopt;
    return read.format_at;
}

}  // namespace

BlockKey key_of(const Block& block) {
    switch (block.kind) {
        case kNodeBlock: return BlockKey::kNodes;
        case kElementBlock: return BlockKey::kElements;
        case kResultBlock: return BlockKey::kResults;
        default: return BlockKey::kNone;
    }
}

bool can_restamp(std::string_view header, BlockKey key) { return single_digit_format_field(header, key).has_value(); }

std::string restamp(std::string_view header, BlockKey key, int32_t code) {
    std::string out(header);
    const auto at = single_digit_format_field(header, key);
    if (at && code >= 0 && code <= 3) out[*at] = static_cast<char>('0' + code);
    return out;
}

}  // namespace kovan
