#include <string>

#include "frd/format.h"
#include "frd/line_cursor.h"
#include "frd/binary_records.h"
#include "frd/number_tokens.h"
#include "frd/packed_record.h"
#include "frd/record_fields.h"
#include "frd/standard_columns.h"
#include "results/array_layer.h"
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

template <typename Sink>
bool read_binary_records(std::string_view text, const BlockRef& ref, Sink& sink) {
    const uint64_t real_bytes = binary_real_bytes(ref.format);
    const auto m = static_cast<uint64_t>(ref.components);
    if (ref.components <= 0 || ref.end > text.size() || ref.begin >= ref.end) return true;
    const uint64_t record_bytes = kBinaryIdBytes + m * real_bytes;
    const uint64_t n_records = (ref.end - ref.begin) / record_bytes;
    sink.expect(n_records, m);
    std::vector<double> record(m);
    const char* at = text.data() + ref.begin;
    for (uint64_t r = 0; r < n_records; ++r, at += record_bytes) {
        const char* value = at + kBinaryIdBytes;
        for (uint64_t k = 0; k < m; ++k, value += real_bytes) {
            record[k] = load_real(value, ref.format);
        }
        if (!sink.add(load_i32_le(at), record.data(), m)) return false;
    }
    return true;
}

// One ASCII record: its "-1" line and the "-2" lines that continue it.
template <typename Sink>
struct AsciiRecordReader {
    const BlockRef& ref;
    Sink& sink;
    std::vector<double> values;
    std::vector<double> packed;
    bool open = false;   // a record has started and may take continuation lines
    bool valid = false;  // every value of it read so far parsed
    bool taken = true;   // the sink has taken every record so far
    int64_t node = 0;

    void finish() {
        if (open && valid) taken = sink.add(node, values.data(), values.size());
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

    // Lines in CalculiX's own columns, read without tokenising; false when
    // the line is any other and the general rules must read it.
    bool read_standard_line(std::string_view line) {
        if (line.size() < 3 || line[0] != ' ' || line[1] != '-') return false;
        const std::string_view rest = line.substr(3);
        if (line[2] == '1') {
            int64_t id = 0;
            if (!read_standard_id(rest, ref.id_width, id)) return false;
            finish();
            values.clear();
            if (!read_standard_reals(rest.substr(static_cast<size_t>(ref.id_width)), values)) return false;
            node = id;
            open = valid = true;
            return true;
        }
        return line[2] == '2' && open && valid && read_standard_continuation(rest, ref.id_width, values);
    }

    void read_line(std::string_view line) {
        if (read_standard_line(line)) return;
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

template <typename Sink>
bool read_ascii_records(std::string_view text, const BlockRef& ref, Sink& sink) {
    if (ref.begin >= text.size()) return true;
    LineCursor cursor = make_cursor(text.substr(0, std::min<uint64_t>(text.size(), ref.end)));
    cursor.position = ref.begin;
    AsciiRecordReader<Sink> reader{ref, sink, {}, {}, false, false, true, 0};
    std::string_view line;
    while (reader.taken && next_line(cursor, line)) reader.read_line(line);
    if (reader.taken) reader.finish();
    return reader.taken;
}

struct DecodedBlockSink {
    DecodedBlock& block;
    void expect(uint64_t records, uint64_t components) {
        block.node_ids.reserve(records);
        block.begin.reserve(records);
        block.count.reserve(records);
        block.values.reserve(records * components);
    }
    bool add(int64_t node, const double* values, uint64_t n) {
        add_record(block, node, values, n);
        return true;
    }
};

}  // namespace

template <typename Sink>
bool read_block_records(std::string_view text, const BlockRef& ref, Sink& sink) {
    return is_binary(ref.format) ? read_binary_records(text, ref, sink) : read_ascii_records(text, ref, sink);
}

void decode_block(std::string_view text, const BlockRef& ref, DecodedBlock& block) {
    DecodedBlockSink sink{block};
    read_block_records(text, ref, sink);
}

template bool read_block_records<ArrayLayer>(std::string_view, const BlockRef&, ArrayLayer&);

}  // namespace kovan
