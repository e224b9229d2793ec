#include "frd/result_records.h"
#include "results/decoded_block.h"

namespace kovan {
namespace {

void append_node(DecodedBlock& block, int64_t node, uint64_t n) {
    block.node_ids.push_back(node);
    block.begin.push_back(block.values.size());
    block.count.push_back(n);
}

struct DecodedBlockSink {
    DecodedBlock& block;
    void expect(uint64_t records, uint64_t components) {
        block.node_ids.reserve(records);
        block.begin.reserve(records);
        block.count.reserve(records);
        block.values.reserve(records * components);
    }
    bool record(const ResultRecordRead& r) {
        add_record(block, r.node, r.values, r.count);
        return true;
    }
    void other_line(const Line&) {}
};

}  // namespace

void add_record(DecodedBlock& block, int64_t node, const double* values, uint64_t n) {
    if (block.ascending && (block.node_ids.empty() || node > block.node_ids.back())) {
        append_node(block, node, n);
        block.values.insert(block.values.end(), values, values + n);
        return;
    }
    if (block.ascending) {
        block.ascending = false;
        block.positions.reserve(2 * block.node_ids.size());
        for (uint64_t k = 0; k < block.node_ids.size(); ++k) block.positions.emplace(block.node_ids[k], k);
    }
    const auto [it, inserted] = block.positions.try_emplace(node, block.node_ids.size());
    if (inserted) {
        append_node(block, node, n);
    } else {
        block.begin[it->second] = block.values.size();
        block.count[it->second] = n;
    }
    block.values.insert(block.values.end(), values, values + n);
}

void decode_block(LineCursor& records, const RecordsForm& form, uint64_t text_size, DecodedBlock& block) {
    DecodedBlockSink sink{block};
    walk_result_records(records, form, text_size, sink);
}

}  // namespace kovan
