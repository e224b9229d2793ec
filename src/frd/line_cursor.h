// Forward line reading over an FRD text, and the whitespace rules of the format.
#pragma once

#include <cstdint>
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

struct LineCursor {
    const char* text = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;    // where the next line starts
    uint64_t line_start = 0;  // where the last line read started
    uint64_t line_count = 0;  // the last line read is line number line_count (1-based)
    // The first line feed at or after the position it was searched from, so
    // that text without line feeds (carriage returns only) is not searched
    // to its end once per line.
    bool line_feed_known = false;
    uint64_t next_line_feed = 0;
};

inline LineCursor make_cursor(std::string_view text) {
    LineCursor cursor;
    cursor.text = text.data();
    cursor.size = text.size();
    return cursor;
}

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

// Reads lines until one whose text, trimmed, starts with the record key
// `key` (such as "-3", by the rule of has_key), and leaves the cursor as `next_line` would after
// reading it; false, with the cursor at the end, when no such line is left.
// Long runs of record lines are passed with a vector scan for line ends.
bool next_line_starting_with(LineCursor& cursor, std::string_view key, std::string_view& line);

// Skips one carriage return and then one line feed, where they follow.
void skip_one_line_end(LineCursor& cursor);

}  // namespace kovan
