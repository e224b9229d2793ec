#include "frd/result_locator.h"

#include "frd/format.h"
#include "frd/little_endian.h"
#include "frd/number_tokens.h"
#include "frd/record_fields.h"

namespace kovan {
namespace {

// Reads the component lines of a binary block: the number of stored
// components, or 0 when the lines are not all "-5" lines.
int64_t read_stored_components(LineCursor& cursor, int64_t declared, std::vector<std::string_view>& tokens) {
    int64_t stored = 0;
    std::string_view line;
    for (int64_t i = 0; i < declared; ++i) {
        if (!next_line(cursor, line)) return 0;
        const std::string_view trimmed = trim(line);
        if (!starts_with(trimmed, "-5")) return 0;
        if (names_stored_component(trimmed, tokens)) ++stored;
    }
    return stored;
}

// After a binary payload comes, past line ends and blanks, a line that
// starts with a digit or a minus sign, or the end of the text.
bool next_record_follows(const LineCursor& cursor) {
    uint64_t at = cursor.position;
    while (at < cursor.size && (cursor.text[at] == '\r' || cursor.text[at] == '\n')) ++at;
    while (at < cursor.size && cursor.text[at] == ' ') ++at;
    if (at == cursor.size) return true;
    const char c = cursor.text[at];
    return (c >= '0' && c <= '9') || c == '-';
}

void locate_binary_records(LineCursor& cursor, StepEntry& step, const std::string& name, int64_t node_count,
                           int32_t format, std::vector<std::string_view>& tokens) {
    if (tokens.size() < 3) return;
    const auto declared = parse_int(tokens[2]);
    if (!declared || *declared <= 0) return;
    const int64_t stored = read_stored_components(cursor, *declared, tokens);
    if (stored == 0) return;
    const uint64_t real_bytes = binary_real_bytes(format);
    if (static_cast<uint64_t>(stored) > (UINT64_MAX - kBinaryIdBytes) / real_bytes) return;
    const uint64_t record_bytes = kBinaryIdBytes + static_cast<uint64_t>(stored) * real_bytes;
    if (!records_fit(node_count, record_bytes, bytes_left(cursor))) return;
    const uint64_t begin = cursor.position;
    const uint64_t end = begin + static_cast<uint64_t>(node_count) * record_bytes;
    cursor.position = end;
    if (!next_record_follows(cursor)) return;
    skip_one_line_end(cursor);
    step.blocks.push_back(BlockRef{name, begin, end, cursor.line_count, format, static_cast<int32_t>(stored), 10});
}

void locate_ascii_records(LineCursor& cursor, StepEntry& step, const std::string& name, int32_t format) {
    BlockRef block{name, cursor.line_start, cursor.size, cursor.line_count, kAsciiLong, 0, ascii_id_width(format)};
    std::string_view line;
    if (next_line_starting_with(cursor, "-3", line)) block.end = cursor.line_start;
    step.blocks.push_back(std::move(block));
}

}  // namespace

void locate_result_block(LineCursor& cursor, StepEntry& step, int64_t node_count, int32_t format,
                         std::vector<std::string_view>& tokens) {
    std::string name = "Unknown";
    std::string_view line;
    while (next_line(cursor, line)) {
        const std::string_view trimmed = trim(line);
        if (trimmed.size() < 2) continue;
        if (starts_with(trimmed, "-4")) {
            split_tokens(trimmed, tokens);
            if (tokens.size() >= 2) name.assign(tokens[1]);
            if (!is_binary(format)) continue;
            locate_binary_records(cursor, step, name, node_count, format, tokens);
            return;
        }
        if (starts_with(trimmed, "-5")) continue;
        if (starts_with(trimmed, "-1")) {
            locate_ascii_records(cursor, step, name, format);
            return;
        }
        if (starts_with(trimmed, "-3")) return;
    }
}

}  // namespace kovan
