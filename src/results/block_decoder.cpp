#include <string>

#include "frd/format.h"
#include "frd/line_cursor.h"
#include "frd/binary_records.h"
#include "frd/number_tokens.h"
#include "frd/packed_record.h"
#include "frd/record_fields.h"
#include "results/decoded_block.h"

namespace kovan {

namespace {

void append_node(DecodedBlock& block, int64_t node, uint64_t n) {
    block.node_ids.push_back(node);
    block.begin.push_back(block.values.size());
    block.count.push_back(n);
}

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

namespace {

void decode_binary_block(std::string_view text, const BlockRef& ref, DecodedBlock& block) {
    const uint64_t real_bytes = binary_real_bytes(ref.format);
    const auto m = static_cast<uint64_t>(ref.components);
    if (ref.components <= 0 || ref.end > text.size() || ref.begin >= ref.end) return;
    const uint64_t record_bytes = kBinaryIdBytes + m * real_bytes;
    const uint64_t n_records = (ref.end - ref.begin) / record_bytes;
    block.node_ids.reserve(n_records);
    block.begin.reserve(n_records);
    block.count.reserve(n_records);
    block.values.reserve(n_records * m);
    std::vector<double> record(m);
    const char* at = text.data() + ref.begin;
    for (uint64_t r = 0; r < n_records; ++r, at += record_bytes) {
        const char* value = at + kBinaryIdBytes;
        for (uint64_t k = 0; k < m; ++k, value += real_bytes) {
            record[k] = load_real(value, ref.format);
        }
        add_record(block, load_i32_le(at), record.data(), m);
    }
}

// One ASCII record: its "-1" line and the "-2" lines that continue it.
struct AsciiRecordReader {
    const BlockRef& ref;
    DecodedBlock& block;
    std::vector<double> values;
    std::vector<double> packed;
    bool open = false;   // a record has started and may take continuation lines
    bool valid = false;  // every value of it read so far parsed
    int64_t node = 0;

    void finish() {
        if (open && valid) add_record(block, node, values.data(), values.size());
        open = false;
    }

    // Values by the token rules, appended to `values`; false if one does not parse.
    bool read_value_tokens(std::string_view tokens) {
        for (std::string_view token = next_record_token(tokens); !token.empty(); token = next_record_token(tokens)) {
            const auto value = parse_real(token);
            if (!value) return false;
            values.push_back(*value);
        }
        return true;
    }

    bool read_tokens(std::string_view rest) {
        std::string_view tokens = rest;
        const auto id = parse_int(next_record_token(tokens));
        if (!id || trim(tokens).empty()) return false;
        values.clear();
        if (!read_value_tokens(tokens)) return false;
        node = *id;
        return true;
    }

    // Reals glued by three-digit exponents, in the block's own columns.
    bool read_packed(std::string_view rest) {
        int64_t id = 0;
        if (!read_packed_record(rest, ref.id_width, id, packed) || packed.empty()) return false;
        node = id;
        values = packed;
        return true;
    }

    void start(std::string_view rest) {
        finish();
        open = read_tokens(rest) || read_packed(rest);
        valid = open;
    }

    void continue_record(std::string_view rest) {
        if (!open || !valid) return;
        const size_t before = values.size();
        if (read_value_tokens(rest)) return;
        values.resize(before);
        valid = read_packed_continuation(rest, ref.id_width, packed) && !packed.empty();
        values.insert(values.end(), packed.begin(), packed.end());
    }

    void read_line(std::string_view line) {
        const std::string_view trimmed = trim(line);
        const bool record = trimmed.size() >= 2 && starts_with(trimmed, "-1");
        const bool continuation = trimmed.size() >= 2 && starts_with(trimmed, "-2");
        if (record) {
            start(line.substr(line.find("-1") + 2));
        } else if (continuation) {
            continue_record(line.substr(line.find("-2") + 2));
        } else {
            finish();
        }
    }
};

void decode_ascii_block(std::string_view text, const BlockRef& ref, DecodedBlock& block) {
    if (ref.begin >= text.size()) return;
    LineCursor cursor = make_cursor(text.substr(0, std::min<uint64_t>(text.size(), ref.end)));
    cursor.position = ref.begin;
    AsciiRecordReader reader{ref, block, {}, {}, false, false, 0};
    std::string_view line;
    while (next_line(cursor, line)) reader.read_line(line);
    reader.finish();
}

}  // namespace

void decode_block(std::string_view text, const BlockRef& ref, DecodedBlock& block) {
    if (is_binary(ref.format)) {
        decode_binary_block(text, ref, block);
    } else {
        decode_ascii_block(text, ref, block);
    }
}

}  // namespace kovan
