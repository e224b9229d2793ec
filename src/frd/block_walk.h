// The one walk over an FRD text, shared by every reader of it: lines
// outside blocks, and node, element and result blocks found by their keys,
// each record handed to a sink. The readers differ only in their sinks:
//   sink.text_line(const Line&)        a line outside every block
//   sink.begin_block(BlockKey, const Line& header, const BlockHeader&, uint64_t most_records)
//   the events of node_block_walk.h and element_block_walk.h
//   sink.end_block(BlockKey, const BlockHeader&, const BlockEnd&)
//   bool sink.result_block(const Line& header, const ResultHeader&, ResultLocation&)
//                                      false stops the walk; the sink may take
//                                      the location's names
// A block whose header line the end of the text cuts off is incomplete and
// has no records; the header of a result block is then not read for one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frd/block_end.h"
#include "frd/block_header.h"
#include "frd/continuation_fields.h"
#include "frd/element_block_walk.h"
#include "frd/format.h"
#include "frd/keys.h"
#include "frd/line_cursor.h"
#include "frd/node_block_walk.h"
#include "frd/result_location.h"

namespace kovan {

// At most as many records as the header states and the text left can hold
// (for reserving room; a block is never trusted to be as large as it says).
uint64_t most_records(BlockKey key, const BlockHeader& header, uint64_t bytes_left);

// Locating a result block's records may move a window past its header
// line: the sink is handed a copy of it.
template <typename Sink>
bool walk_result_block(LineCursor& cursor, const Line& line, std::vector<std::string_view>& tokens,
                       std::string& header_copy, Sink& sink) {
    const ResultHeader header = read_result_header(line.text, tokens);
    header_copy.assign(line.full);
    Line header_line = line;
    header_line.full = header_copy;
    header_line.text = header_line.full.substr(0, line.text.size());
    ResultLocation location =
        line.terminated() ? locate_result_records(cursor, header.block, tokens) : cut_off_at(cursor.size);
    return sink.result_block(header_line, header, location);
}

// The walk from the cursor to the end of the text; a failed block (or a
// sink that stopped) ends it early, and its end is returned.
template <typename Sink>
BlockEnd walk_blocks(LineCursor& cursor, DocumentFieldWidth& document_width, Sink& sink) {
    std::vector<std::string_view> tokens;
    std::string header_copy;
    Line line;
    while (next_line(cursor, line)) {
        const BlockKey key = block_key(trim(line.text));
        if (key == BlockKey::kNone) {
            sink.text_line(line);
            continue;
        }
        if (key == BlockKey::kResults) {
            if (walk_result_block(cursor, line, tokens, header_copy, sink)) continue;
            return failed_block(BlockEnd::kStopped);
        }
        const BlockHeader header = read_block_header(line.text, tokens);
        sink.begin_block(key, line, header, most_records(key, header, bytes_left(cursor)));
        BlockEnd end;
        if (!line.terminated()) {
            end.outcome = BlockEnd::kIncomplete;
        } else if (key == BlockKey::kNodes) {
            end = walk_node_block(cursor, header, sink);
        } else {
            end = walk_element_block(cursor, header, document_width, sink);
        }
        sink.end_block(key, header, end);
        if (end.outcome == BlockEnd::kFailed) return end;
    }
    return BlockEnd();
}

}  // namespace kovan
