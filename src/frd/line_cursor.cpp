#include "frd/line_cursor.h"

#include <algorithm>
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

namespace {

// Reads from the source into the buffer from `have` until it holds `target`
// bytes (those of `begin` onward), or the source ends or fails; the bytes read.
uint64_t read_into(Window& window, uint64_t begin, uint64_t have, uint64_t target) {
    while (have < target) {
        const int64_t got = window.source.read_at(window.source.context, begin + have, &window.buffer[have], target - have);
        if (got <= 0) {
            window.failed = true;  // the text was said to hold these bytes
            break;
        }
        have += static_cast<uint64_t>(got);
    }
    return have;
}

// Moves the window to start at `keep` (at most the position of anything
// still needed) and to reach `need` or further, by at least a chunk where
// the text goes on. False when it cannot reach `need`.
bool move_window(LineCursor& cursor, uint64_t keep, uint64_t need) {
    Window* window = cursor.window;
    need = std::min(need, cursor.size);
    if (window == nullptr || window->failed || cursor.window_end >= cursor.size) return cursor.window_end >= need;
    keep = std::min(keep, need);
    // Bytes already at hand from `keep` on move to the front; a window that
    // jumps past its end (a binary payload passed over) keeps nothing.
    const uint64_t kept = keep < cursor.window_end ? cursor.window_end - std::max(keep, cursor.window_begin) : 0;
    if (kept > 0) std::memmove(&window->buffer[0], at(cursor, std::max(keep, cursor.window_begin)), kept);
    keep = kept > 0 ? std::max(keep, cursor.window_begin) : keep;
    const uint64_t target = std::min(std::max(need - keep, kept + window->chunk), cursor.size - keep);
    if (window->buffer.size() < target) window->buffer.resize(target);
    const uint64_t have = read_into(*window, keep, kept, target);
    cursor.text = window->buffer.data();
    cursor.window_begin = keep;
    cursor.window_end = keep + have;
    if (window->failed) cursor.size = cursor.window_end;
    cursor.line_feed_known = false;
    return cursor.window_end >= need;
}

uint64_t keep_point(const LineCursor& cursor, uint64_t offset) { return std::min(offset, cursor.keep_from); }

// The first line feed at or after `from` in the window, or window_end.
uint64_t line_feed_in_window(const LineCursor& cursor, uint64_t from) {
    const auto* lf = static_cast<const char*>(std::memchr(at(cursor, from), '\n', cursor.window_end - from));
    return lf != nullptr ? static_cast<uint64_t>(lf - cursor.text) + cursor.window_begin : cursor.window_end;
}

// The first line feed at or after `begin` in the bytes at hand, searched
// once per run of lines that it ends.
inline uint64_t line_feed_after(LineCursor& cursor, uint64_t begin) {
    if (!cursor.line_feed_known || cursor.next_line_feed < begin) {
        cursor.next_line_feed = line_feed_in_window(cursor, begin);
        cursor.line_feed_known = true;
    }
    return cursor.next_line_feed;
}

// Where the line from `begin` ends (at its CR, LF or CRLF) when the bytes at
// hand hold that end and the byte after a final carriage return; else
// UINT64_MAX. Two library scans beat one byte loop: the line feed that ends
// most lines, then a carriage return before it.
inline uint64_t line_end_at_hand(LineCursor& cursor, uint64_t begin) {
    const uint64_t lf_at = line_feed_after(cursor, begin);
    const auto* cr = static_cast<const char*>(std::memchr(at(cursor, begin), '\r', lf_at - begin));
    const uint64_t cr_at = cr != nullptr ? static_cast<uint64_t>(cr - cursor.text) + cursor.window_begin : lf_at;
    const bool whole = lf_at < cursor.window_end || cursor.window_end >= cursor.size ||
                       (cr_at < lf_at && cr_at + 1 < cursor.window_end);
    return whole ? cr_at : UINT64_MAX;
}

// The same, moving a window forward until it holds the line's end.
uint64_t line_end(LineCursor& cursor, uint64_t begin) {
    while (true) {
        const uint64_t end = line_end_at_hand(cursor, begin);
        if (end != UINT64_MAX) return end;
        if (!move_window(cursor, keep_point(cursor, begin), cursor.window_end + 1)) return cursor.window_end;
    }
}

// Past the terminator of a line that ends at `end`.
uint64_t after_terminator(const LineCursor& cursor, uint64_t end) {
    if (end >= cursor.size) return end;
    const bool crlf = *at(cursor, end) == '\r' && end + 1 < cursor.size && *at(cursor, end + 1) == '\n';
    return end + (crlf ? 2 : 1);
}

}  // namespace

LineCursor make_window_cursor(Window& window, uint64_t begin, uint64_t end) {
    LineCursor cursor;
    cursor.window = &window;
    cursor.window_begin = cursor.window_end = cursor.position = cursor.line_start = begin;
    cursor.size = end;
    cursor.text = window.buffer.data();
    return cursor;
}

const char* bytes_at(LineCursor& cursor, uint64_t offset, uint64_t count) {
    if (offset > cursor.size || count > cursor.size - offset) return nullptr;
    if (offset < cursor.window_begin) return nullptr;  // behind the window: never asked for
    if (offset + count > cursor.window_end && !move_window(cursor, keep_point(cursor, offset), offset + count)) {
        return nullptr;
    }
    return at(cursor, offset);
}

namespace {

// Moves the cursor past its next line, which runs from `begin` to `end`
// (its terminator left out); false at the end of the text.
inline bool advance(LineCursor& cursor, uint64_t& begin, uint64_t& end) {
    if (cursor.position >= cursor.size) return false;
    begin = cursor.position;
    end = line_end_at_hand(cursor, begin);  // the window (or the whole text) holds most lines
    if (end == UINT64_MAX) end = line_end(cursor, begin);
    cursor.line_start = begin;
    cursor.position = after_terminator(cursor, end);
    ++cursor.line_count;
    return true;
}

}  // namespace

bool next_line(LineCursor& cursor, std::string_view& line) {
    uint64_t begin = 0, end = 0;
    if (!advance(cursor, begin, end)) return false;
    line = std::string_view(at(cursor, begin), end - begin);
    return true;
}

bool next_line(LineCursor& cursor, Line& line) {
    uint64_t begin = 0, end = 0;
    if (!advance(cursor, begin, end)) return false;
    const char* first = at(cursor, begin);
    line.text = std::string_view(first, end - begin);
    line.full = std::string_view(first, cursor.position - begin);
    line.start = begin;
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

// Whether the line `text[at .. end)` begins, past blanks, with the record
// key `key` (not followed by a decimal point, as has_key says).
bool line_starts_with(const char* text, uint64_t at, uint64_t end, std::string_view key) {
    while (at < end && is_frd_space(text[at])) ++at;
    return end - at >= 2 && text[at] == key[0] && text[at + 1] == key[1] && (end - at == 2 || text[at + 2] != '.');
}

}  // namespace

bool next_line_starting_with(LineCursor& cursor, std::string_view key, std::string_view& line) {
    uint64_t at = cursor.position;  // in the text
    while (at < cursor.size) {
        // Lines the window holds whole are passed at the speed of the scan;
        // one that reaches the window's end is made whole first.
        const char* text = cursor.text;
        const uint64_t base = cursor.window_begin, limit = cursor.window_end - base;
        const bool at_text_end = cursor.window_end >= cursor.size;
        uint64_t rel = at - base;
        bool found = false;
        while (rel < limit) {
            const uint64_t end = find_line_end(text, rel, limit);
            const bool whole = end < limit ? (text[end] != '\r' || end + 1 < limit || at_text_end) : at_text_end;
            if (!whole) break;
            if (line_starts_with(text, rel, end, key)) {
                found = true;
                break;
            }
            cursor.line_start = base + rel;
            ++cursor.line_count;
            // after_terminator's rule, on the window's own offsets: this loop is the open's hot path.
            rel = end + (end == limit ? 0 : (text[end] == '\r' && end + 1 < limit && text[end + 1] == '\n') ? 2 : 1);
        }
        at = base + rel;
        if (found || at >= cursor.size) break;
        if (!move_window(cursor, keep_point(cursor, at), cursor.window_end + 1)) break;
    }
    cursor.position = std::min(at, cursor.size);
    cursor.line_feed_known = false;
    return next_line(cursor, line);
}

void skip_one_line_end(LineCursor& cursor) {
    const char* next = bytes_at(cursor, cursor.position, std::min<uint64_t>(2, bytes_left(cursor)));
    if (next == nullptr || cursor.position >= cursor.size) return;
    if (*at(cursor, cursor.position) == '\r') ++cursor.position;
    if (cursor.position < cursor.size && *at(cursor, cursor.position) == '\n') ++cursor.position;
}

LineCursor part_cursor(const LineCursor& cursor, uint64_t begin, uint64_t end) {
    LineCursor part;
    part.text = at(cursor, begin);
    part.window_begin = part.position = part.line_start = begin;
    part.window_end = part.size = end;
    return part;
}

}  // namespace kovan
