#include "document/fingerprint.h"

#include <algorithm>

namespace kovan {
namespace {

constexpr uint64_t kHeadBytes = 512;
constexpr uint64_t kTailBytes = 256;

// FNV-1a, over a few hundred bytes: speed does not matter, any change should.
uint64_t hash_bytes(uint64_t hash, const char* bytes, uint64_t n) {
    for (uint64_t i = 0; i < n; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 0x100000001B3u;
    }
    return hash;
}

bool hash_range(const Source& source, uint64_t begin, uint64_t end, uint64_t& hash) {
    char bytes[kHeadBytes];
    const uint64_t n = end - begin;
    if (read_source(source, begin, bytes, n) != static_cast<int64_t>(n)) return false;
    hash = hash_bytes(hash, bytes, n);
    return true;
}

}  // namespace

bool mark_bytes(const Source& source, uint64_t begin, uint64_t end, uint64_t& hash) {
    hash = 0xCBF29CE484222325u;
    const uint64_t head_end = std::min(end, begin + kHeadBytes);
    const uint64_t tail_begin = std::max(head_end, end - std::min(end, kTailBytes));
    return hash_range(source, begin, head_end, hash) && hash_range(source, tail_begin, end, hash);
}

bool still_marked(const Source& source, const BlockMark& mark) {
    uint64_t hash = 0;
    return mark_bytes(source, mark.begin, mark.end, hash) && hash == mark.hash;
}

}  // namespace kovan
