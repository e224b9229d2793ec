// The records of one result block, by node, before they are laid on the mesh.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frd/line_cursor.h"
#include "frd/result_records.h"

namespace kovan {

struct DecodedBlock {
    std::vector<int64_t> node_ids;  // in order of first appearance
    // The values of node k are values[begin[k] .. begin[k] + count[k]); a node
    // listed again gets its new values appended and its range moved to them.
    std::vector<uint64_t> begin;
    std::vector<uint64_t> count;
    std::vector<double> values;
    // Node number to entry; built only once a record arrives out of
    // ascending order, since CalculiX writes records in node order and a
    // strictly ascending run cannot repeat a node.
    std::unordered_map<int64_t, uint64_t> positions;
    bool ascending = true;
};

// Adds a record: the last record of a node wins, at the node's first position.
void add_record(DecodedBlock& block, int64_t node, const double* values, uint64_t n);

// Reads a located block's records from `records`, which covers exactly them
// in a text of `text_size` bytes.
void decode_block(LineCursor& records, const RecordsForm& form, uint64_t text_size, DecodedBlock& block);

}  // namespace kovan
