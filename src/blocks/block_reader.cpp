#include "blocks/block_reader.h"

#include <algorithm>
#include <vector>

#include "frd/block_header.h"
#include "frd/continuation_fields.h"
#include "frd/element_table.h"
#include "frd/format.h"
#include "frd/line_cursor.h"
#include "frd/binary_records.h"
#include "frd/little_endian.h"
#include "frd/node_line.h"
#include "frd/number_tokens.h"
#include "frd/packed_record.h"
#include "frd/record_fields.h"
#include "frd/standard_columns.h"

namespace kovan {
namespace {

// One line with its terminator.
struct Line {
    std::string_view text;  // without the terminator
    std::string_view full;  // with it
    uint64_t start = 0;
};

// A read failure carries its text out of the nested readers.
struct ReadFailure {
    std::string text;
};

// "0.12346E+04": after an optional sign, "0." and a digit other than 0
// before the exponent letter.
bool is_zero_point(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.substr(0, 2) != "0.") return false;
    for (size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'D' || c == 'E' || c == 'd' || c == 'e') return false;
        if (c != '0') return true;
    }
    return false;
}

struct Reader {
    LineCursor cursor;
    BlockDocument document;
    bool terminator_decided = false;
    DocumentFieldWidth continuation_width;  // decided once per read
    std::vector<std::string_view> tokens;
    NodeLineScratch node_scratch;
    std::vector<double> packed;
    std::vector<Line> record_lines;  // the lines of the result record being read

    bool next(Line& line) {
        std::string_view text;
        if (!next_line(cursor, text)) return false;
        line.text = text;
        line.start = cursor.line_start;
        line.full = std::string_view(cursor.text + cursor.line_start, cursor.position - cursor.line_start);
        return true;
    }

    // The terminator of the first top-level line that has one ends every
    // line the serialiser makes.
    void note_terminator(const Line& line) {
        if (terminator_decided || line.full.size() == line.text.size()) return;
        document.line_terminator.assign(line.full.substr(line.text.size()));
        terminator_decided = true;
    }

    void rewind_to(const Line& line) {
        cursor.position = line.start;
        --cursor.line_count;
    }

    static void add_raw(Block& block, const Line& line) { block.entries.push_back(raw_entry(block, line.full)); }

    // ---- node blocks ----

    void read_ascii_node_line(Block& block, const BlockHeader& header, const Line& line) {
        const std::string_view rest = line.text.substr(line.text.find("-1") + 2);
        NodeLine node;
        if (!read_node_line(rest, header.format, header.format_stated, node_scratch, node)) {
            add_raw(block, line);
            return;
        }
        if (block.nodes.empty()) {
            block.id_width = node.packed_width != 0 ? static_cast<uint64_t>(node.packed_width) : id_field_width(rest);
            block.zero_point = std::any_of(std::begin(node.texts), std::end(node.texts), is_zero_point);
        }
        block.entries.push_back({static_cast<int64_t>(block.nodes.size())});
        block.nodes.push_back({node.id, node.xyz[0], node.xyz[1], node.xyz[2]});
    }

    void read_binary_nodes(Block& block) {
        if (block.stated_count < 0) throw ReadFailure{"binary block header states no record count"};
        const uint64_t record_bytes = binary_node_record_bytes(static_cast<int32_t>(block.format));
        if (!records_fit(block.stated_count, record_bytes, bytes_left(cursor))) {
            throw ReadFailure{"truncated binary node block"};
        }
        const auto n = static_cast<uint64_t>(block.stated_count);
        block.nodes.reserve(n);
        block.entries.reserve(n);
        const char* at = cursor.text + cursor.position;
        for (uint64_t i = 0; i < n; ++i, at += record_bytes) {
            const BinaryNode node = load_binary_node(at, static_cast<int32_t>(block.format));
            block.entries.push_back({static_cast<int64_t>(i)});
            block.nodes.push_back({node.id, node.x, node.y, node.z});
        }
        cursor.position += n * record_bytes;
    }

    // ---- element blocks ----

    void read_binary_elements(Block& block) {
        if (block.stated_count < 0) throw ReadFailure{"binary block header states no record count"};
        const auto n = static_cast<uint64_t>(block.stated_count);
        block.elements.reserve(std::min<uint64_t>(n, bytes_left(cursor) / kBinaryElementHeaderBytes));
        for (uint64_t i = 0; i < n; ++i) {
            if (bytes_left(cursor) < kBinaryElementHeaderBytes) throw ReadFailure{"truncated binary element block"};
            const char* at = cursor.text + cursor.position;
            ElementRecord element{load_i32_le(at), load_i32_le(at + 4), load_i32_le(at + 8), load_i32_le(at + 12), {}};
            const ElementType* type = element_type_for_code(static_cast<int32_t>(element.type));
            if (type == nullptr) {
                throw ReadFailure{"binary element block names element type " + std::to_string(element.type) +
                                  ", whose node count is unknown, so the records after it cannot be located"};
            }
            cursor.position += kBinaryElementHeaderBytes;
            if (bytes_left(cursor) < 4 * uint64_t{type->node_count}) throw ReadFailure{"truncated binary element block"};
            const char* nodes = cursor.text + cursor.position;
            for (uint32_t k = 0; k < type->node_count; ++k) element.node_ids.push_back(load_i32_le(nodes + 4 * k));
            cursor.position += 4 * uint64_t{type->node_count};
            block.entries.push_back({static_cast<int64_t>(i)});
            block.elements.push_back(std::move(element));
        }
    }

    struct ElementState {
        explicit ElementState(const BlockHeader& header) : width(header) {}
        ContinuationWidth width;
        bool last_line_raw = false;  // the latest "-1" line did not read
    };

    void read_element_line(Block& block, ElementState& state, const Line& line) {
        const std::string_view rest = trim(line.text).substr(2);
        const std::string_view after_key = line.text.substr(line.text.find("-1") + 2);
        if (block.elements.empty()) block.id_width = id_field_width(after_key);
        state.width.see_element_line(after_key);
        split_tokens(rest, tokens);
        int64_t fields[4];
        bool ok = tokens.size() >= 4;
        for (size_t k = 0; ok && k < 4; ++k) {
            const auto value = parse_int(tokens[k]);
            ok = value.has_value();
            if (ok) fields[k] = *value;
        }
        state.last_line_raw = !ok;
        if (!ok) {
            add_raw(block, line);
            return;
        }
        block.entries.push_back({static_cast<int64_t>(block.elements.size())});
        block.elements.push_back({fields[0], fields[1], fields[2], fields[3], {}});
    }

    // The node numbers join the last element read; after an element line
    // that did not read, they stay raw beside it rather than join another.
    void read_element_continuation(Block& block, ElementState& state, const Line& line) {
        if (block.elements.empty() || state.last_line_raw) {
            add_raw(block, line);
            return;
        }
        const std::string_view rest = line.text.substr(line.text.find("-2") + 2);
        const size_t width = state.width.width_for(rest, continuation_width);
        std::vector<int64_t>& nodes = block.elements.back().node_ids;
        const size_t before = nodes.size();
        read_continuation_numbers(rest, width, nodes);
        const size_t found = nodes.size() - before;
        if (block.node_id_width == 0 && found > 0) {
            const size_t length = trim_end(rest).size();
            block.node_id_width = length % found == 0 ? length / found : width;
        }
    }

    // ---- result blocks ----

    // Appends the values of `text`; false if one does not parse. Notes
    // whether any is written in zero-point form.
    static bool read_value_tokens(std::string_view text, std::vector<double>& values, bool& zero_point) {
        for (std::string_view token = next_record_token(text); !token.empty(); token = next_record_token(text)) {
            const auto value = parse_real(token);
            if (!value) return false;
            values.push_back(*value);
            zero_point = zero_point || is_zero_point(token);
        }
        return true;
    }

    // How the "-1" line of a result record read.
    enum class RecordStart { kNoNodeNumber, kUnreadableValues, kByTokens, kPacked };

    // Reads the "-1" line's node number into `record` and appends its values
    // to `values`; on failure the values appended are taken back.
    RecordStart read_result_start(std::string_view rest, int id_width, ResultRecord& record,
                                  std::vector<double>& values, bool& zero_point) {
        const size_t begin = values.size();
        int64_t standard_id = 0;
        if (read_standard_id(rest, id_width, standard_id) &&
            read_standard_reals(rest.substr(static_cast<size_t>(id_width)), values)) {
            record.node_id = standard_id;
            return RecordStart::kByTokens;
        }
        std::string_view text = rest;
        const auto id = parse_int(next_record_token(text));
        if (id && read_value_tokens(text, values, zero_point)) {
            record.node_id = *id;
            return RecordStart::kByTokens;
        }
        values.resize(begin);
        int64_t packed_id = 0;
        if (read_packed_record(rest, id_width, packed_id, packed) && !packed.empty()) {
            record.node_id = packed_id;
            values.insert(values.end(), packed.begin(), packed.end());
            zero_point = false;
            return RecordStart::kPacked;
        }
        return id ? RecordStart::kUnreadableValues : RecordStart::kNoNodeNumber;
    }

    bool read_continuation_values(std::string_view after, int id_width, std::vector<double>& values,
                                  bool& zero_point) {
        if (read_standard_continuation(after, id_width, values)) return true;
        const size_t before = values.size();
        if (read_value_tokens(after, values, zero_point)) return true;
        values.resize(before);
        if (!read_packed_continuation(after, id_width, packed) || packed.empty()) return false;
        values.insert(values.end(), packed.begin(), packed.end());
        return true;
    }

    // A record and the "-2" lines that continue it become one record, or,
    // when a value does not read, raw entries in their place.
    void read_result_record(Block& block, const BlockHeader& header, const Line& first) {
        const int id_width = ascii_id_width(header.format);
        const std::string_view rest = first.text.substr(first.text.find("-1") + 2);
        std::vector<double>& values = block.result_values;
        ResultRecord record{0, values.size(), 0};
        bool zero_point = false;
        const RecordStart start = read_result_start(rest, id_width, record, values, zero_point);
        if (start == RecordStart::kNoNodeNumber) {
            add_raw(block, first);
            return;
        }
        bool valid = start != RecordStart::kUnreadableValues;
        std::vector<Line>& lines = record_lines;
        lines.assign(1, first);
        Line line;
        while (next(line)) {
            const std::string_view trimmed = trim(line.text);
            if (trimmed.size() < 2 || !starts_with(trimmed, "-2")) {
                rewind_to(line);
                break;
            }
            lines.push_back(line);
            const std::string_view after = line.text.substr(line.text.find("-2") + 2);
            valid = valid && read_continuation_values(after, id_width, values, zero_point);
        }
        if (!valid) {
            values.resize(record.begin);
            for (const Line& kept : lines) add_raw(block, kept);
            return;
        }
        if (block.results.empty()) {
            block.id_width = start == RecordStart::kPacked ? static_cast<uint64_t>(id_width) : id_field_width(rest);
            block.zero_point = zero_point;
        }
        record.count = values.size() - record.begin;
        block.entries.push_back({static_cast<int64_t>(block.results.size())});
        block.results.push_back(record);
    }

    // ASCII blocks take every "-4" and "-5" line after the header; binary
    // blocks exactly the "-5" lines their "-4" line declares, since their
    // payload may begin with bytes that read as "-5".
    int64_t read_result_header_lines(Block& block) {
        int64_t stored = 0;
        Line line;
        while (next(line)) {
            const std::string_view trimmed = trim(line.text);
            const bool is_four = starts_with(trimmed, "-4");
            if (!is_four && !starts_with(trimmed, "-5")) {
                rewind_to(line);
                break;
            }
            block.lines.emplace_back(line.full);
            if (!is_four) {
                stored += names_stored_component(trim(line.text), tokens) ? 1 : 0;
                continue;
            }
            if (!is_binary(static_cast<int32_t>(block.format))) continue;
            return stored + read_declared_components(block, trimmed);
        }
        return stored;
    }

    int64_t read_declared_components(Block& block, std::string_view four) {
        split_tokens(four, tokens);
        const auto declared = tokens.size() >= 3 ? parse_int(tokens[2]) : std::nullopt;
        if (!declared || *declared <= 0) {
            throw ReadFailure{"binary result block states no record count or no stored components"};
        }
        int64_t stored = 0;
        Line line;
        for (int64_t i = 0; i < *declared; ++i) {
            if (!next(line) || !starts_with(trim(line.text), "-5")) {
                throw ReadFailure{"binary result block lists fewer component lines than its \"-4\" line declares"};
            }
            block.lines.emplace_back(line.full);
            stored += names_stored_component(trim(line.text), tokens) ? 1 : 0;
        }
        return stored;
    }

    void read_binary_results(Block& block, int64_t stored) {
        if (block.stated_count < 0 || stored <= 0) {
            throw ReadFailure{"binary result block states no record count or no stored components"};
        }
        const uint64_t real_bytes = binary_real_bytes(static_cast<int32_t>(block.format));
        const auto m = static_cast<uint64_t>(stored);
        if (m > (UINT64_MAX - kBinaryIdBytes) / real_bytes) throw ReadFailure{"truncated binary result block"};
        const uint64_t record_bytes = kBinaryIdBytes + m * real_bytes;
        if (!records_fit(block.stated_count, record_bytes, bytes_left(cursor))) {
            throw ReadFailure{"truncated binary result block"};
        }
        const auto n = static_cast<uint64_t>(block.stated_count);
        block.results.reserve(n);
        block.entries.reserve(n);
        block.result_values.resize(n * m);
        double* out = block.result_values.data();
        const char* at = cursor.text + cursor.position;
        for (uint64_t i = 0; i < n; ++i, at += record_bytes) {
            const char* value = at + kBinaryIdBytes;
            for (uint64_t k = 0; k < m; ++k, value += real_bytes) {
                *out++ = load_real(value, static_cast<int32_t>(block.format));
            }
            block.entries.push_back({static_cast<int64_t>(i)});
            block.results.push_back({load_i32_le(at), i * m, m});
        }
        cursor.position += n * record_bytes;
    }

    // ---- blocks ----

    // Room for the records the header states, as far as the text left can
    // hold them, so that a large block does not grow by copying.
    void reserve_stated_records(Block& block, const BlockHeader& header) {
        if (header.count <= 0) return;
        constexpr uint64_t kShortestRecordLine = 16;
        const uint64_t n = std::min(static_cast<uint64_t>(header.count), bytes_left(cursor) / kShortestRecordLine);
        block.entries.reserve(n);
        if (block.kind == kNodeBlock) block.nodes.reserve(n);
        if (block.kind == kElementBlock) block.elements.reserve(n);
        if (block.kind == kResultBlock) block.results.reserve(n);
        if (block.kind == kResultBlock) block.result_values.reserve(n * 6);
    }

    void read_ascii_body(Block& block, const BlockHeader& header) {
        reserve_stated_records(block, header);
        ElementState elements(header);
        Line line;
        while (next(line)) {
            const std::string_view trimmed = trim(line.text);
            if (starts_with(trimmed, "-3")) {
                block.end_line.assign(line.full);
                return;
            }
            const bool record = trimmed.size() >= 2 && starts_with(trimmed, "-1");
            const bool continuation = trimmed.size() >= 2 && starts_with(trimmed, "-2");
            if (block.kind == kNodeBlock && record) {
                read_ascii_node_line(block, header, line);
            } else if (block.kind == kElementBlock && record) {
                read_element_line(block, elements, line);
            } else if (block.kind == kElementBlock && continuation) {
                read_element_continuation(block, elements, line);
            } else if (block.kind == kResultBlock && record) {
                read_result_record(block, header, line);
            } else {
                add_raw(block, line);
            }
        }
    }

    Block start_block(uint32_t kind, const Line& header_line, BlockHeader& header) {
        Block block;
        block.kind = kind;
        block.lines.emplace_back(header_line.full);
        const std::string_view trimmed = trim(header_line.text);
        header = read_block_header(trimmed, tokens);
        if (kind == kResultBlock) {
            // The count as the document reader takes it: CalculiX's columns first.
            header.count = read_result_header(header_line.text, tokens).node_count;
        }
        block.format = static_cast<uint32_t>(header.format);
        block.stated_count = header.count;
        return block;
    }

    void read_block(uint32_t kind, const Line& header_line) {
        BlockHeader header;
        Block block = start_block(kind, header_line, header);
        const int64_t stored = kind == kResultBlock ? read_result_header_lines(block) : 0;
        if (is_binary(header.format)) {
            if (kind == kNodeBlock) read_binary_nodes(block);
            if (kind == kElementBlock) read_binary_elements(block);
            if (kind == kResultBlock) read_binary_results(block, stored);
            skip_one_line_end(cursor);
        } else {
            read_ascii_body(block, header);
        }
        document.blocks.push_back(std::move(block));
    }

    // Consecutive lines outside blocks form one text block.
    void add_text_line(const Line& line) {
        if (document.blocks.empty() || document.blocks.back().kind != kTextBlock) document.blocks.emplace_back();
        document.blocks.back().lines.emplace_back(line.full);
    }

    void read_all() {
        Line line;
        while (next(line)) {
            note_terminator(line);
            const std::string_view trimmed = trim(line.text);
            uint32_t kind = kTextBlock;
            if (starts_with(trimmed, "2C")) kind = kNodeBlock;
            if (starts_with(trimmed, "3C")) kind = kElementBlock;
            if (starts_with(trimmed, "100")) kind = kResultBlock;
            if (kind == kTextBlock) {
                add_text_line(line);
            } else {
                read_block(kind, line);
            }
        }
    }
};

}  // namespace

BlockReadResult read_blocks(std::string_view bytes) {
    Reader reader;
    reader.cursor = make_cursor(bytes);
    BlockReadResult result;
    try {
        reader.read_all();
    } catch (const ReadFailure& failure) {
        result.error = failure.text;
        return result;
    }
    result.ok = true;
    result.document = std::move(reader.document);
    return result;
}

}  // namespace kovan
