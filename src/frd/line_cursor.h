// Forward line reading over an FRD text, and the whitespace rules of the format.
//
// A cursor reads a text whose bytes are either all in memory, or come from a
// source through a window: a buffer holding the bytes from some offset on,
// moved forward as the reading goes (its edges are just more places where
// a line may be unfinished; the line is kept and the window refilled). All
// offsets are offsets in the whole text. A view of a line stays valid until
// the cursor reads the next one; bytes from `keep_from` on stay in the
// window until it is cleared, so that a record of several lines can be
// looked at again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovan {

// Tab, line feed, vertical tab, form feed, carriage return, the four
// separator controls 28 to 31, and space.
inline bool is_frd_space(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 9 && b <= 13) || (b >= 28 && b <= 32);
}

std::string_view trim(std::string_view text);
std::string_view trim_end(std::string_view text);

// The next whitespace-separated token of `rest`, which moves past it; empty
// when no token is left.
std::string_view next_token(std::string_view& rest);

// All tokens of `text` into `out` (cleared first; its capacity is reused).
void split_tokens(std::string_view text, std::vector<std::string_view>& out);

// Where a windowed cursor's bytes come from: copies up to `count` bytes at
// `offset` into `into` and returns how many it copied (fewer only at the
// end of the bytes), or -1 when they cannot be read.
struct ByteSource {
    int64_t (*read_at)(const void* context, uint64_t offset, char* into, uint64_t count) = nullptr;
    const void* context = nullptr;
};

// Bytes read at a time into a window, unless a cursor asks for another size.
constexpr uint64_t kWindowBytes = uint64_t{4} << 20;

// The window of a cursor that does not hold its whole text.
struct Window {
    ByteSource source;
    uint64_t chunk = kWindowBytes;  // bytes one refill asks for, at least
    std::string buffer;             // its bytes; grows only for a line or record longer than a chunk
    // A read failed, or the source held fewer bytes than the text was said
    // to have: the text ends where reading stopped.
    bool failed = false;
};

struct LineCursor {
    const char* text = nullptr;  // the bytes of window_begin .. window_end
    uint64_t window_begin = 0;
    uint64_t window_end = 0;
    uint64_t size = 0;        // of the whole text
    uint64_t position = 0;    // where the next line starts
    uint64_t line_start = 0;  // where the last line read started
    uint64_t line_count = 0;  // the last line read is line number line_count (1-based)
    uint64_t keep_from = UINT64_MAX;  // bytes from here on stay in the window
    Window* window = nullptr;         // null: the whole text is in memory
    // The first line feed at or after the position it was searched from in
    // the bytes at hand (window_end when they hold none), so that text
    // without line feeds (carriage returns only) is not searched to its end
    // once per line.
    bool line_feed_known = false;
    uint64_t next_line_feed = 0;
};

// A cursor over a text held in memory.
inline LineCursor make_cursor(std::string_view text) {
    LineCursor cursor;
    cursor.text = text.data();
    cursor.size = cursor.window_end = text.size();
    return cursor;
}

// A cursor over the bytes `begin` .. `end` of the text that `window`'s
// source reads, from `begin` on; nothing is read yet.
LineCursor make_window_cursor(Window& window, uint64_t begin, uint64_t end);

// The byte at `offset`, which must lie in the window.
inline const char* at(const LineCursor& cursor, uint64_t offset) {
    return cursor.text + (offset - cursor.window_begin);
}

// Makes bytes `offset` .. `offset + count` (or up to the end of the text)
// lie in the window, keeping those from min(offset, keep_from) on, and
// returns a pointer to the first; null when the text ends before `offset +
// count` (or a read failed).
const char* bytes_at(LineCursor& cursor, uint64_t offset, uint64_t count);

// Reads the next line without its terminator (CR, LF or CRLF); false at the end.
bool next_line(LineCursor& cursor, std::string_view& line);

// A line as the record walkers hand it on.
struct Line {
    std::string_view text;  // without its terminator
    std::string_view full;  // with it
    uint64_t start = 0;     // offset of its first byte in the text
    uint64_t number = 0;    // 1-based
    // A line that the end of the text cuts off has no terminator; a file
    // still being written may end in the middle of one.
    bool terminated() const { return full.size() > text.size(); }
    uint64_t end() const { return start + full.size(); }
};

bool next_line(LineCursor& cursor, Line& line);

inline uint64_t bytes_left(const LineCursor& cursor) {
    return cursor.position < cursor.size ? cursor.size - cursor.position : 0;
}

// Whether reading stopped because the source could not be read.
inline bool read_failed(const LineCursor& cursor) { return cursor.window != nullptr && cursor.window->failed; }

// Reads lines until one whose text, trimmed, starts with the record key
// `key` (such as "-3", by the rule of has_key), and leaves the cursor as `next_line` would after
// reading it; false, with the cursor at the end, when no such line is left.
// Long runs of record lines are passed with a vector scan for line ends.
bool next_line_starting_with(LineCursor& cursor, std::string_view key, std::string_view& line);

// Skips one carriage return and then one line feed, where they follow.
void skip_one_line_end(LineCursor& cursor);

// A cursor over the bytes `begin` .. `end`, which lie in `cursor`'s window
// (kept there with keep_from), reading them where they stand.
LineCursor part_cursor(const LineCursor& cursor, uint64_t begin, uint64_t end);

}  // namespace kovan
