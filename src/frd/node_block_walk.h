// Walking the records of a node block ("2C"), ASCII or binary:
//   sink.ascii_node(const NodeLine&, const Line&)
//   sink.binary_node(const BinaryNode&)
//   sink.other_line(const Line&)   a line of an ASCII block that is no record
//   sink.end_line(const Line&)     the " -3" line
#pragma once

#include <algorithm>

#include "frd/binary_records.h"
#include "frd/block_end.h"
#include "frd/block_header.h"
#include "frd/keys.h"
#include "frd/line_cursor.h"
#include "frd/node_line.h"

namespace kovan {

// Binary records from the cursor: as many as the header states, or, when
// the text ends first, the whole records it holds.
template <typename Sink>
BlockEnd walk_binary_nodes(LineCursor& cursor, const BlockHeader& header, Sink& sink) {
    if (header.count < 0) return failed_block(BlockEnd::kNoCount);
    BlockEnd end;
    const uint64_t record_bytes = binary_node_record_bytes(header.format);
    const bool whole = records_fit(header.count, record_bytes, bytes_left(cursor));
    const uint64_t n = whole ? static_cast<uint64_t>(header.count) : bytes_left(cursor) / record_bytes;
    // As many records at a time as the window holds.
    for (uint64_t i = 0; i < n;) {
        const char* record = bytes_at(cursor, cursor.position, record_bytes);
        if (record == nullptr) break;  // the source could not be read
        const uint64_t at_hand = std::min(n - i, (cursor.window_end - cursor.position) / record_bytes);
        for (uint64_t k = 0; k < at_hand; ++k, record += record_bytes) sink.binary_node(load_binary_node(record, header.format));
        cursor.position += at_hand * record_bytes;
        i += at_hand;
        end.records = static_cast<int64_t>(i);
    }
    if (!whole || end.records < static_cast<int64_t>(n)) {
        end.outcome = BlockEnd::kIncomplete;
        cursor.position = cursor.size;
        return end;
    }
    end.records_end = cursor.position;
    skip_one_line_end(cursor);
    return end;
}

// ASCII lines up to the " -3" line: "-1" lines read as node records (by
// tokens, else in packed columns), every other line handed on as it is.
template <typename Sink>
BlockEnd walk_ascii_nodes(LineCursor& cursor, const BlockHeader& header, Sink& sink) {
    BlockEnd end;
    NodeLineScratch scratch;
    NodeLine node;
    Line line;
    while (next_line(cursor, line)) {
        const std::string_view trimmed = trim(line.text);
        if (has_key(trimmed, "-3")) {
            sink.end_line(line);
            return end;
        }
        const bool record = line.terminated() && has_key(trimmed, "-1") &&
                            read_node_line(after_key(line.text, "-1"), header.format,
                                           header.format_stated, scratch, node);
        if (record) {
            sink.ascii_node(node, line);
            ++end.records;
        } else {
            sink.other_line(line);
        }
    }
    end.outcome = BlockEnd::kIncomplete;
    return end;
}

template <typename Sink>
BlockEnd walk_node_block(LineCursor& cursor, const BlockHeader& header, Sink& sink) {
    return is_binary(header.format) ? walk_binary_nodes(cursor, header, sink) : walk_ascii_nodes(cursor, header, sink);
}

}  // namespace kovan
