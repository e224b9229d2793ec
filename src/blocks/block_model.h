// An FRD document as blocks: what the re-encoder reads and the writer
// builds, and what the serialiser turns into bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovan {

enum BlockKind : uint32_t { kTextBlock = 0, kNodeBlock = 1, kElementBlock = 2, kResultBlock = 3 };

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
    uint32_t kind = kTextBlock;
    // Text block: all its lines. Otherwise the header line first, then a
    // result block's "-4" and "-5" lines; each with its own terminator.
    std::vector<std::string> lines;
    std::vector<LineEntry> entries;  // data lines in file order
    std::vector<std::string> raw_lines;  // with their terminators
    std::string end_line;            // " -3" with its terminator; empty when none
    // An ASCII block that the end of the text cut off before its " -3" line:
    // the file may still have been being written.
    bool cut_off = false;
    uint32_t format = 1;
    int64_t stated_count = -1;
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
