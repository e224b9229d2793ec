// The keys that open FRD lines: block headers and record lines.
#pragma once

#include <string_view>

namespace kovan {

enum class BlockKey { kNone, kNodes, kElements, kResults };

// The block a trimmed line opens: "2C" nodes, "3C" elements, "100" results.
BlockKey block_key(std::string_view trimmed);

// Whether a trimmed line is one that FRD writes: a record ("-1" to "-5"), a
// block header ("2C", "3C", "100C"), a header record ("1C", "1U", "1P") or
// the closing "9999". A text none of whose lines is one is no FRD file.
bool is_frd_line(std::string_view trimmed);

// Whether a trimmed last line that the end of the text cuts off may still
// become such a line ("    1" of a file the solver has just begun).
bool may_become_frd_line(std::string_view trimmed);

// After a binary payload comes, past line ends and blanks, a line that
// starts with a digit or a minus sign, or the end of the text: whether
// `rest`, the text after the payload, shows that.
bool record_line_follows(std::string_view rest);

// Whether a trimmed line starts with the record key `key` ("-1" to "-5").
// A decimal point right after the two characters makes them the start of a
// negative number (-2.70373E-18), which no record line begins with.
inline bool has_key(std::string_view trimmed, std::string_view key) {
    return trimmed.size() >= 2 && trimmed[0] == key[0] && trimmed[1] == key[1] &&
           (trimmed.size() == 2 || trimmed[2] != '.');
}

// The text after the record key `key` of a line that starts with it (past
// blanks): where a record's fields begin.
inline std::string_view after_key(std::string_view line, std::string_view key) {
    const size_t at = line.find(key);
    return at == std::string_view::npos ? std::string_view() : line.substr(at + key.size());
}

}  // namespace kovan
