#include "frd/line_cursor.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kovan {

std::string_view trim(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && is_frd_space(text[begin])) ++begin;
    return trim_end(text.substr(begin));
}

std::string_view trim_end(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && is_frd_space(text[end - 1])) --end;
    return text.substr(0, end);
}

std::string_view next_token(std::string_view& rest) {
    size_t begin = 0;
    while (begin < rest.size() && is_frd_space(rest[begin])) ++begin;
    size_t end = begin;
    while (end < rest.size() && !is_frd_space(rest[end])) ++end;
    std::string_view token = rest.substr(begin, end - begin);
    rest.remove_prefix(end);
    return token;
}

void split_tokens(std::string_view text, std::vector<std::string_view>& out) {
    out.clear();
    for (std::string_view token = next_token(text); !token.empty(); token = next_token(text)) {
        out.push_back(token);
    }
}

bool next_line(LineCursor& cursor, std::string_view& line) {
    if (cursor.position >= cursor.size) return false;
    const char* text = cursor.text;
    const uint64_t begin = cursor.position;
    // Two library scans beat one byte loop: the line feed that ends most
    // lines, then a carriage return before it.
    if (!cursor.line_feed_known || cursor.next_line_feed < begin) {
        const auto* lf = static_cast<const char*>(std::memchr(text + begin, '\n', cursor.size - begin));
        cursor.next_line_feed = lf != nullptr ? static_cast<uint64_t>(lf - text) : cursor.size;
        cursor.line_feed_known = true;
    }
    const uint64_t lf_at = cursor.next_line_feed;
    const auto* cr = static_cast<const char*>(std::memchr(text + begin, '\r', lf_at - begin));
    const uint64_t end = cr != nullptr ? static_cast<uint64_t>(cr - text) : lf_at;
    line = std::string_view(text + begin, end - begin);
    cursor.line_start = begin;
    uint64_t next = end;
    if (end < cursor.size) {
        const bool crlf = text[end] == '\r' && end + 1 < cursor.size && text[end + 1] == '\n';
        next += crlf ? 2 : 1;
    }
    cursor.position = next;
    ++cursor.line_count;
    return true;
}

bool next_line(LineCursor& cursor, Line& line) {
    if (!next_line(cursor, line.text)) return false;
    line.start = cursor.line_start;
    line.full = std::string_view(cursor.text + cursor.line_start, cursor.position - cursor.line_start);
    line.number = cursor.line_count;
    return true;
}

namespace {

// The first carriage return or line feed at or after `at`, or `size`.
uint64_t find_line_end(const char* text, uint64_t at, uint64_t size) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; at + 16 <= size; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
        if (mask != 0) return at + static_cast<uint64_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; at < size; ++at) {
        if (text[at] == '\n' || text[at] == '\r') return at;
    }
    return size;
}

// Whether the line starting at `at` begins, past blanks, with the record
// key `key` (not followed by a decimal point, as has_key says).
bool line_starts_with(const char* text, uint64_t at, uint64_t size, std::string_view key) {
    while (at < size && text[at] != '\n' && text[at] != '\r' && is_frd_space(text[at])) ++at;
    return size - at >= 2 && text[at] == key[0] && text[at + 1] == key[1] && (size - at == 2 || text[at + 2] != '.');
}

}  // namespace

bool next_line_starting_with(LineCursor& cursor, std::string_view key, std::string_view& line) {
    const char* text = cursor.text;
    const uint64_t size = cursor.size;
    uint64_t at = cursor.position;
    while (at < size && !line_starts_with(text, at, size, key)) {
        cursor.line_start = at;
        ++cursor.line_count;
        const uint64_t end = find_line_end(text, at, size);
        at = end + (end == size ? 0 : (text[end] == '\r' && end + 1 < size && text[end + 1] == '\n') ? 2 : 1);
    }
    cursor.position = at;
    cursor.line_feed_known = false;
    return next_line(cursor, line);
}

void skip_one_line_end(LineCursor& cursor) {
    if (cursor.position < cursor.size && cursor.text[cursor.position] == '\r') ++cursor.position;
    if (cursor.position < cursor.size && cursor.text[cursor.position] == '\n') ++cursor.position;
}

}  // namespace kovan
