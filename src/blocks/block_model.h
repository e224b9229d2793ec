// An FRD document as blocks: what the re-encoder reads and the writer
// builds, and what the serialiser turns into bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frd/keys.h"

namespace kovan {

// One data line of a block: a record by position, or, when negative, a raw
// line kept as it stood: number -index - 1 of the block's raw_lines.
struct LineEntry {
    int64_t index = -1;
};

struct NodeRecord {
    int64_t id = 0;
    double x = 0.0, y = 0.0, z = 0.0;
};

struct ElementRecord {
    int64_t id = 0;
    int64_t type = 0;
    int64_t group = 0;
    int64_t material = 0;
    std::vector<int64_t> node_ids;
};

// A result record's values lie in its block's result_values, from begin on.
struct ResultRecord {
    int64_t node_id = 0;
    uint64_t begin = 0;
    uint64_t count = 0;
};

struct Block {
    BlockKey kind = BlockKey::kNone;  // kNone: lines outside every block
    // Lines outside blocks: all of them. Otherwise the header line first,
    // then a result block's "-4" and "-5" lines; each with its own terminator.
    std::vector<std::string> lines;
    std::vector<LineEntry> entries;  // data lines in file order
    std::vector<std::string> raw_lines;  // with their terminators
    std::string end_line;            // " -3" with its terminator; empty when none
    // An ASCII block that the end of the text cut off before its " -3" line:
    // the file may still have been being written.
    bool cut_off = false;
    uint32_t format = 1;
    int64_t stated_count = -1;
    // How the header states its format code: in one digit at format_field_at
    // of lines[0], which a conversion rewrites; false when it states none so
    // (no code, or "01", "+1"), and for blocks whose header is made right.
    bool format_restampable = false;
    size_t format_field_at = 0;
    // A result block: the components a binary reader finds after its header
    // lines; 0 when they are not one "-4" line followed by exactly the "-5"
    // lines it declares, with at least one stored component.
    uint64_t stored_components = 0;
    uint64_t id_width = 0;       // first integer field of a record as read; 0 unknown
    bool zero_point = false;     // reals read as 0.12346E+04
    uint64_t node_id_width = 0;  // element continuation fields as read; 0 unknown
    std::vector<NodeRecord> nodes;
    std::vector<ElementRecord> elements;
    std::vector<ResultRecord> results;
    std::vector<double> result_values;  // every result record's values, record after record
};

inline LineEntry raw_entry(Block& block, std::string_view line) {
    block.raw_lines.emplace_back(line);
    return LineEntry{-static_cast<int64_t>(block.raw_lines.size())};
}

inline const std::string& raw_text(const Block& block, const LineEntry& entry) {
    return block.raw_lines.at(static_cast<size_t>(-(entry.index + 1)));
}

inline const double* values_of(const Block& block, const ResultRecord& record) {
    return block.result_values.data() + record.begin;
}

struct BlockDocument {
    std::vector<Block> blocks;
    std::string line_terminator = "\n";  // ends every line the serialiser makes
};

}  // namespace kovan
