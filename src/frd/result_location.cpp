#include "frd/result_location.h"

#include <algorithm>

#include "frd/format.h"
#include "frd/keys.h"
#include "frd/little_endian.h"
#include "frd/number_tokens.h"
#include "frd/record_fields.h"

namespace kovan {
namespace {

// Whether a record line or the end of the text follows the cursor, by the
// rule of record_line_follows, looking as far as the blank lines after it go.
bool record_line_comes_next(LineCursor& cursor) {
    constexpr uint64_t kLook = 256;
    for (uint64_t look = kLook;; look *= 2) {
        const uint64_t count = std::min(look, bytes_left(cursor));
        const char* rest = bytes_at(cursor, cursor.position, count);
        if (rest == nullptr) return true;  // the source could not be read: the open fails anyway
        const std::string_view seen(rest, count);
        const bool decided = count == bytes_left(cursor) || seen.find_first_not_of("\r\n ") != std::string_view::npos;
        if (decided) return record_line_follows(seen);
    }
}

void locate_binary_payload(LineCursor& cursor, const BlockHeader& header, ResultLocation& location) {
    location.section_end = cursor.position;
    location.records_begin = cursor.position;
    location.records_line = cursor.line_count;
    if (header.count < 0) {
        location.outcome = ResultLocation::kUnlocatable;
        location.reason = ResultLocation::kNoNodeCount;
        return;
    }
    const uint64_t real_bytes = binary_real_bytes(header.format);
    const auto stored = static_cast<uint64_t>(location.components);
    const bool sizable = stored <= (UINT64_MAX - kBinaryIdBytes) / real_bytes;
    const uint64_t record_bytes = sizable ? kBinaryIdBytes + stored * real_bytes : UINT64_MAX;
    if (!records_fit(header.count, record_bytes, bytes_left(cursor))) {
        location.outcome = ResultLocation::kIncomplete;
        location.whole_records = static_cast<int64_t>(bytes_left(cursor) / record_bytes);
        location.records_end = cursor.size;
        cursor.position = cursor.size;
        return;
    }
    location.records_end = cursor.position + static_cast<uint64_t>(header.count) * record_bytes;
    cursor.position = location.records_end;  // passed over: a window need not read it
    if (!record_line_comes_next(cursor)) {
        location.outcome = ResultLocation::kUnlocatable;
        location.reason = ResultLocation::kNotFollowed;
        return;
    }
    skip_one_line_end(cursor);
    location.outcome = ResultLocation::kLocated;
}

void locate_binary_records(LineCursor& cursor, const BlockHeader& header, std::string_view four,
                           std::vector<std::string_view>& tokens, ResultLocation& location) {
    location.format = header.format;
    ComponentLines lines = read_component_lines(cursor, four, tokens);
    location.components = lines.stored;
    location.component_names = std::move(lines.names);
    switch (lines.outcome) {
        case ComponentLines::kRead: break;
        case ComponentLines::kCut:
            location = cut_off_at(cursor.size);
            location.format = header.format;  // a binary block, cut off in its component lines
            return;
        default:
            location.outcome = ResultLocation::kUnlocatable;
            location.reason = lines.outcome == ComponentLines::kNoComponentCount ? ResultLocation::kNoComponentCount
                                                                                 : ResultLocation::kMissingComponentLines;
            location.section_end = cursor.position;
            return;
    }
    if (lines.stored == 0) {
        location.outcome = ResultLocation::kUnlocatable;
        location.reason = ResultLocation::kNoStoredComponents;
        location.section_end = cursor.position;
        return;
    }
    locate_binary_payload(cursor, header, location);
}

// ASCII records run from their first "-1" line to the " -3" line.
void locate_ascii_records(LineCursor& cursor, const Line& first, ResultLocation& location) {
    location.format = kAsciiLong;
    location.section_end = location.records_begin = first.start;
    location.records_line = first.number;
    std::string_view line;
    if (!next_line_starting_with(cursor, "-3", line)) {
        location.outcome = ResultLocation::kIncomplete;
        location.records_end = cursor.size;
        return;
    }
    location.outcome = ResultLocation::kLocated;
    location.records_end = location.end_line_begin = cursor.line_start;
    location.end_line_end = cursor.position;
}

}  // namespace

ResultLocation cut_off_at(uint64_t text_size) {
    ResultLocation location;
    location.outcome = ResultLocation::kIncomplete;
    location.section_end = location.records_begin = location.records_end = text_size;
    return location;
}

ComponentLines read_component_lines(LineCursor& cursor, std::string_view four, std::vector<std::string_view>& tokens) {
    ComponentLines result;
    split_tokens(four, tokens);
    const auto declared = tokens.size() >= 3 ? parse_int(tokens[2]) : std::nullopt;
    if (!declared || *declared <= 0) {
        result.outcome = ComponentLines::kNoComponentCount;
        return result;
    }
    Line line;
    for (int64_t i = 0; i < *declared; ++i) {
        // A last line the end of the text cuts off may still become the
        // component line it is not yet.
        if (!next_line(cursor, line) || !line.terminated()) {
            result.outcome = ComponentLines::kCut;
            return result;
        }
        const std::string_view trimmed = trim(line.text);
        if (!has_key(trimmed, "-5")) {
            result.outcome = ComponentLines::kNotAComponentLine;
            return result;
        }
        if (!names_stored_component(trimmed, tokens)) continue;
        ++result.stored;
        result.names.emplace_back(component_name(tokens));
    }
    return result;
}

int64_t stored_components_after(std::string_view lines) {
    LineCursor cursor = make_cursor(lines);
    std::vector<std::string_view> tokens;
    Line line;
    while (next_line(cursor, line)) {
        const std::string_view trimmed = trim(line.text);
        if (!has_key(trimmed, "-4")) continue;
        const ComponentLines read = read_component_lines(cursor, trimmed, tokens);
        return read.outcome == ComponentLines::kRead && cursor.position == lines.size() ? read.stored : 0;
    }
    return 0;
}

ResultLocation locate_result_records(LineCursor& cursor, const BlockHeader& header,
                                     std::vector<std::string_view>& tokens) {
    ResultLocation location;
    Line line;
    while (next_line(cursor, line)) {
        const std::string_view trimmed = trim(line.text);
        // The end of the text cuts the block off in a line that may still
        // become any; a "-4" line of a binary block is its binary part's.
        if (!line.terminated()) {
            ResultLocation cut = cut_off_at(cursor.size);
            if (is_binary(header.format) && has_key(trimmed, "-4")) cut.format = header.format;
            return cut;
        }
        if (has_key(trimmed, "-4")) {
            split_tokens(trimmed, tokens);
            if (tokens.size() >= 2) location.name = tokens[1];
            location.component_names.clear();  // the names of the last "-4" line's components
            if (!is_binary(header.format)) continue;
            locate_binary_records(cursor, header, trimmed, tokens, location);
            return location;
        }
        if (has_key(trimmed, "-5")) {
            if (names_stored_component(trimmed, tokens)) location.component_names.emplace_back(component_name(tokens));
            continue;
        }
        if (has_key(trimmed, "-1")) {
            locate_ascii_records(cursor, line, location);
            return location;
        }
        if (has_key(trimmed, "-3")) {
            location.outcome = ResultLocation::kNoRecords;
            location.section_end = location.end_line_begin = line.start;
            location.end_line_end = line.end();
            return location;
        }
    }
    return cut_off_at(cursor.size);
}

}  // namespace kovan
