// Reading the records of a located result block, ASCII or binary, each
// handed to a sink as it is read:
//   sink.expect(records, components)   binary blocks, before their records
//   bool sink.record(const ResultRecordRead&)   false stops the reading
//   sink.other_line(const Line&)       an ASCII line that is no record
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "frd/binary_records.h"
#include "frd/format.h"
#include "frd/keys.h"
#include "frd/line_cursor.h"
#include "frd/number_tokens.h"
#include "frd/packed_record.h"
#include "frd/record_fields.h"
#include "frd/standard_columns.h"

namespace kovan {

// How a record's lines read: all in CalculiX's own columns, or (any of
// them) by tokens, or in packed columns whose numbers touch.
enum class RecordPath { kStandard, kTokens, kPacked };

struct ResultRecordRead {
    int64_t node = 0;
    const double* values = nullptr;
    uint64_t count = 0;
    RecordPath path = RecordPath::kStandard;
    uint64_t begin = 0;  // the record's lines in the text, terminators included
    uint64_t end = 0;
};

// An ASCII record is its "-1" line and the "-2" lines that continue it. Each
// line is read in CalculiX's standard columns, else by tokens, else in
// packed columns. A "-1" line needs a node number and at least one value; a
// record any of whose lines does not read is no record, and its lines go to
// the sink as other lines, as do the lines between records. A last line
// that the end of the text cuts off is never read as a record.
template <typename Sink>
struct AsciiResultWalk {
    AsciiResultWalk(int id_width, Sink& sink) : id_width(id_width), sink(sink) {}

    // Reads the lines of `lines` from its position to its end; false when
    // the sink stopped. `text_size` is the size of the whole text, of which
    // the cursor may read a part: a line that reaches the cursor's end is
    // whole when the text goes on after it.
    bool walk(LineCursor& lines, uint64_t text_size) {
        cursor = &lines;
        size = text_size;
        Line line;
        while (taken && next_line(lines, line)) read_line(line);
        if (taken) finish();
        lines.keep_from = UINT64_MAX;
        return taken;
    }

    int id_width;
    Sink& sink;
    LineCursor* cursor = nullptr;
    uint64_t size = 0;  // of the whole text
    std::vector<double> values;
    std::vector<double> packed;
    bool open = false;   // a record has started and may take continuation lines
    bool valid = false;  // every line of it read so far read
    bool taken = true;   // the sink has taken every record so far
    int64_t node = 0;
    RecordPath path = RecordPath::kStandard;
    uint64_t begin = 0, end = 0;

    // A line ends where the cursor stopped, or, at the end of the range, at
    // the end of the whole text.
    bool terminated(const Line& line) const { return line.terminated() || line.end() < size; }

    // A record's lines stay in the cursor's window until it is finished, so
    // that a record that does not read can be handed on line by line.
    void finish() {
        if (!open) return;
        open = false;
        cursor->keep_from = UINT64_MAX;
        if (valid) {
            taken = sink.record(ResultRecordRead{node, values.data(), values.size(), path, begin, end});
            return;
        }
        LineCursor lines = part_cursor(*cursor, begin, end);
        Line line;
        while (next_line(lines, line)) sink.other_line(line);
    }

    void begin_record(const Line& line, RecordPath how, int64_t id, bool readable) {
        cursor->keep_from = line.start;
        open = true;
        valid = readable;
        path = how;
        node = id;
        begin = line.start;
        end = line.end();
    }

    // Values by the token rules, appended; false if one does not read.
    bool read_value_tokens(std::string_view tokens) {
        for (std::string_view token = next_record_token(tokens); !token.empty(); token = next_record_token(tokens)) {
            const auto value = parse_real(token);
            if (!value) return false;
            values.push_back(*value);
        }
        return true;
    }

    void start(const Line& line, std::string_view rest) {
        finish();
        values.clear();
        std::string_view tokens = rest;
        const auto id = parse_int(next_record_token(tokens));
        if (id && !trim(tokens).empty() && read_value_tokens(tokens)) {
            begin_record(line, RecordPath::kTokens, *id, true);
            return;
        }
        int64_t packed_id = 0;
        if (read_packed_record(rest, id_width, packed_id, packed) && !packed.empty()) {
            values = packed;
            begin_record(line, RecordPath::kPacked, packed_id, true);
            return;
        }
        if (id) {
            begin_record(line, RecordPath::kTokens, *id, false);  // takes its continuation lines, all unread
        } else {
            sink.other_line(line);
        }
    }

    void continue_record(const Line& line, std::string_view rest) {
        end = line.end();
        if (!valid) return;
        // A record is read in the standard columns only if every line of it is.
        if (path == RecordPath::kStandard) path = RecordPath::kTokens;
        const size_t before = values.size();
        if (read_value_tokens(rest)) return;
        values.resize(before);
        valid = read_packed_continuation(rest, id_width, packed) && !packed.empty();
        values.insert(values.end(), packed.begin(), packed.end());
    }

    // Lines in CalculiX's own columns, read without tokenising; false when
    // the line is any other and the general rules must read it.
    bool read_standard_line(const Line& line) {
        const std::string_view text = line.text;
        if (text.size() < 3 || text[0] != ' ' || text[1] != '-') return false;
        const std::string_view rest = text.substr(3);
        if (text[2] == '1') {
            int64_t id = 0;
            if (!read_standard_id(rest, id_width, id)) return false;
            finish();
            values.clear();
            if (!read_standard_reals(rest.substr(static_cast<size_t>(id_width)), values)) return false;
            begin_record(line, RecordPath::kStandard, id, true);
            return true;
        }
        if (text[2] != '2' || !open || !valid || !read_standard_continuation(rest, id_width, values)) return false;
        end = line.end();
        return true;
    }

    void read_line(const Line& line) {
        if (!terminated(line)) {
            finish();
            sink.other_line(line);
            return;
        }
        if (read_standard_line(line)) return;
        const std::string_view trimmed = trim(line.text);
        if (has_key(trimmed, "-1")) {
            start(line, after_key(line.text, "-1"));
        } else if (open && has_key(trimmed, "-2")) {
            continue_record(line, after_key(line.text, "-2"));
        } else {
            finish();
            sink.other_line(line);
        }
    }
};

// Binary records from the cursor to its end: a node number and
// `components` reals each, back to back; bytes that do not make a whole
// record are left.
template <typename Sink>
bool walk_binary_results(LineCursor& cursor, int32_t format, int64_t components, Sink& sink) {
    if (components <= 0 || cursor.position >= cursor.size) return true;
    const uint64_t real_bytes = binary_real_bytes(format);
    const auto m = static_cast<uint64_t>(components);
    if (m > (UINT64_MAX - kBinaryIdBytes) / real_bytes) return true;
    const uint64_t record_bytes = kBinaryIdBytes + m * real_bytes;
    const uint64_t n_records = bytes_left(cursor) / record_bytes;
    sink.expect(n_records, m);
    std::vector<double> record(m);
    ResultRecordRead read{0, record.data(), m, RecordPath::kStandard, cursor.position, cursor.position + record_bytes};
    for (uint64_t r = 0; r < n_records;) {
        const char* at = bytes_at(cursor, cursor.position, record_bytes);
        if (at == nullptr) return true;  // the source could not be read
        const uint64_t at_hand = std::min(n_records - r, (cursor.window_end - cursor.position) / record_bytes);
        for (uint64_t k = 0; k < at_hand; ++k, at += record_bytes) {
            const char* value = at + kBinaryIdBytes;
            for (uint64_t v = 0; v < m; ++v, value += real_bytes) record[v] = load_real(value, format);
            read.node = load_i32_le(at);
            if (!sink.record(read)) return false;
            read.begin = read.end;
            read.end += record_bytes;
        }
        cursor.position += at_hand * record_bytes;
        r += at_hand;
    }
    return true;
}

// How a located block's records are written: their format (1 for every
// ASCII one), the values per binary record, the node number columns of
// ASCII records.
struct RecordsForm {
    int32_t format = 1;
    int64_t components = 0;
    int32_t id_width = 10;
};

// The records of a located block, from the cursor (which covers exactly
// them) to its end, handed to the sink; false when it stopped. `text_size`
// is the size of the whole text.
template <typename Sink>
bool walk_result_records(LineCursor& cursor, const RecordsForm& form, uint64_t text_size, Sink& sink) {
    if (is_binary(form.format)) return walk_binary_results(cursor, form.format, form.components, sink);
    AsciiResultWalk<Sink> walk(form.id_width, sink);
    return walk.walk(cursor, text_size);
}

}  // namespace kovan
