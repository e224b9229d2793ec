#include "frd/line_cursor.h"

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
    uint64_t end = begin;
    while (end < cursor.size && text[end] != '\n' && text[end] != '\r') ++end;
    line = std::string_view(text + begin, end - begin);
    cursor.line_start = begin;
    if (end < cursor.size) {
        const bool crlf = text[end] == '\r' && end + 1 < cursor.size && text[end + 1] == '\n';
        end += crlf ? 2 : 1;
    }
    cursor.position = end;
    ++cursor.line_count;
    return true;
}

void skip_one_line_end(LineCursor& cursor) {
    if (cursor.position < cursor.size && cursor.text[cursor.position] == '\r') ++cursor.position;
    if (cursor.position < cursor.size && cursor.text[cursor.position] == '\n') ++cursor.position;
}

}  // namespace kovan
