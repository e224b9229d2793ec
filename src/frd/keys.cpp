#include "frd/keys.h"

namespace kovan {

BlockKey block_key(std::string_view trimmed) {
    if (trimmed.size() >= 2 && trimmed[0] == '2' && trimmed[1] == 'C') return BlockKey::kNodes;
    if (trimmed.size() >= 2 && trimmed[0] == '3' && trimmed[1] == 'C') return BlockKey::kElements;
    if (trimmed.size() >= 3 && trimmed.substr(0, 3) == "100") return BlockKey::kResults;
    return BlockKey::kNone;
}

namespace {

constexpr std::string_view kLineKeys[] = {"1C", "1U", "1P", "2C", "3C", "100C", "9999"};
constexpr std::string_view kRecordKeys[] = {"-1", "-2", "-3", "-4", "-5"};

}  // namespace

bool is_frd_line(std::string_view trimmed) {
    for (std::string_view key : kLineKeys) {
        if (trimmed.substr(0, key.size()) == key) return true;
    }
    for (std::string_view key : kRecordKeys) {
        if (has_key(trimmed, key)) return true;
    }
    return false;
}

bool record_line_follows(std::string_view rest) {
    size_t at = 0;
    while (at < rest.size() && (rest[at] == '\r' || rest[at] == '\n')) ++at;
    while (at < rest.size() && rest[at] == ' ') ++at;
    if (at == rest.size()) return true;
    return (rest[at] >= '0' && rest[at] <= '9') || rest[at] == '-';
}

bool may_become_frd_line(std::string_view trimmed) {
    if (is_frd_line(trimmed)) return true;
    for (std::string_view key : kLineKeys) {
        if (key.substr(0, trimmed.size()) == trimmed) return true;
    }
    return trimmed == "-";
}

}  // namespace kovan
