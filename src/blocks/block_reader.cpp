#include "blocks/block_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "blocks/record_lines.h"
#include "blocks/serialiser.h"
#include "frd/block_walk.h"
#include "frd/format.h"
#include "frd/keys.h"
#include "frd/record_fields.h"
#include "frd/result_records.h"

namespace kovan {
namespace {

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

// Whether a record's text writes any of its numbers in zero-point form.
bool written_in_zero_point(std::string_view text) {
    for (std::string_view token = next_record_token(text); !token.empty(); token = next_record_token(text)) {
        if (is_zero_point(token)) return true;
    }
    return false;
}

// The first line of a record's text.
std::string_view first_line(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

bool same_bits(const double* a, const double* b, uint64_t n) { return std::memcmp(a, b, n * sizeof(double)) == 0; }

// The one record that a regenerated text reads back as.
struct OneRecord {
    int64_t records = 0;
    int64_t other_lines = 0;
    int64_t node = 0;
    std::vector<double> values;
    void expect(uint64_t, uint64_t) {}
    bool record(const ResultRecordRead& r) {
        ++records;
        node = r.node;
        values.assign(r.values, r.values + r.count);
        return true;
    }
    void other_line(const Line&) { ++other_lines; }
};

const char* unlocatable_text(ResultLocation::Reason reason) {
    switch (reason) {
        case ResultLocation::kMissingComponentLines:
            return "binary result block lists fewer component lines than its \"-4\" line declares";
        case ResultLocation::kNotFollowed:
            return "binary result block is followed by neither a record line nor the end of the text, so where it "
                   "ends is not known";
        default:
            return "binary result block states no record count or no stored components";
    }
}

struct Reader {
    Reader(std::string_view bytes, int32_t format) : input(bytes), target(format) {}

    std::string_view input;
    int32_t target;
    BlockDocument document;
    bool terminator_decided = false;
    std::string failure;  // why the read failed; empty while it goes on

    // The block being read, and how it is read.
    Block block;
    BlockHeader header;
    bool keep = false;     // it keeps its format: records must come back exactly, or stay as they stood
    int read_width = 10;   // the id columns in which its ASCII records are read
    OutputText regenerated;
    NodeLineScratch node_scratch;

    // The terminator of the first top-level line that has one ends every
    // line the serialiser makes.
    void note_terminator(const Line& line) {
        if (terminator_decided || !line.terminated()) return;
        document.line_terminator.assign(line.full.substr(line.text.size()));
        terminator_decided = true;
    }

    void add_raw(std::string_view text) { block.entries.push_back(raw_entry(block, text)); }

    AsciiLayout keep_layout() const {
        return ascii_layout(block, static_cast<int32_t>(block.format), true, document.line_terminator);
    }

    void start_block(uint32_t kind, const Line& line, const BlockHeader& read) {
        note_terminator(line);
        block = Block();
        block.kind = kind;
        block.lines.emplace_back(line.full);
        block.format = static_cast<uint32_t>(read.format);
        block.stated_count = read.count;
        header = read;
        keep = target == kKeepFormats || target == read.format;
        read_width = ascii_id_width(read.format);
    }

    // ---- the walk's events ----

    void text_line(const Line& line) {
        note_terminator(line);
        if (document.blocks.empty() || document.blocks.back().kind != kTextBlock) document.blocks.emplace_back();
        document.blocks.back().lines.emplace_back(line.full);
    }

    void begin_block(BlockKey key, const Line& line, const BlockHeader& read, uint64_t most_records) {
        start_block(key == BlockKey::kNodes ? kNodeBlock : kElementBlock, line, read);
        block.entries.reserve(most_records);
        if (key == BlockKey::kNodes) block.nodes.reserve(most_records);
        if (key == BlockKey::kElements) block.elements.reserve(most_records);
    }

    void other_line(const Line& line) { add_raw(line.full); }
    void end_line(const Line& line) { block.end_line.assign(line.full); }

    void end_block(BlockKey key, const BlockHeader&, const BlockEnd& end) {
        if (end.outcome == BlockEnd::kFailed) {
            failure = end.failure == BlockEnd::kUnknownElementType
                          ? "binary element block names element type " + std::to_string(end.element_type) +
                                ", whose node count is unknown, so the records after it cannot be located"
                          : "binary block header states no record count";
            return;
        }
        if (end.outcome == BlockEnd::kIncomplete && is_binary(static_cast<int32_t>(block.format))) {
            failure = key == BlockKey::kNodes ? "truncated binary node block" : "truncated binary element block";
            return;
        }
        block.cut_off = end.outcome == BlockEnd::kIncomplete;
        document.blocks.push_back(std::move(block));
    }

    // ---- nodes ----

    bool node_comes_back(const NodeLine& node) {
        regenerated.clear();
        append_node_lines(regenerated, node.id, node.xyz[0], node.xyz[1], node.xyz[2], keep_layout());
        NodeLine again;
        return read_node_line(after_key(first_line(regenerated.view()), "-1"), header.format, header.format_stated, node_scratch,
                              again) &&
               again.id == node.id && same_bits(again.xyz, node.xyz, 3);
    }

    void ascii_node(const NodeLine& node, const Line& line) {
        if (block.nodes.empty()) {
            const std::string_view rest = after_key(line.text, "-1");
            block.id_width = node.packed_width != 0 ? static_cast<uint64_t>(node.packed_width) : id_field_width(rest);
            block.zero_point = written_in_zero_point(rest);
        }
        if (keep && !node_comes_back(node)) {
            add_raw(line.full);
            return;
        }
        block.entries.push_back({static_cast<int64_t>(block.nodes.size())});
        block.nodes.push_back({node.id, node.xyz[0], node.xyz[1], node.xyz[2]});
    }

    void binary_node(const BinaryNode& node) {
        block.entries.push_back({static_cast<int64_t>(block.nodes.size())});
        block.nodes.push_back({node.id, node.x, node.y, node.z});
    }

    // ---- elements ----

    void note_element_widths(const ElementRead& e, std::string_view source) {
        if (block.elements.empty()) block.id_width = id_field_width(after_key(first_line(source), "-1"));
        if (block.node_id_width != 0 || e.first_line_numbers == 0) return;
        const uint64_t length = e.first_line_length, n = e.first_line_numbers;
        block.node_id_width = length % n == 0 ? length / n : e.field_width;
    }

    // An element is written again only as the very lines it came from: how
    // its node numbers read depends on field widths decided elsewhere.
    bool element_comes_back(const ElementRecord& element, std::string_view source) {
        regenerated.clear();
        append_element_lines(regenerated, element, keep_layout());
        return regenerated.view() == source;
    }

    void element(const ElementRead& e) {
        const std::string_view source = input.substr(e.begin, e.end_offset - e.begin);
        const bool binary = is_binary(static_cast<int32_t>(block.format));
        if (!e.fields.all_fields_read) {
            add_raw(source);
            return;
        }
        ElementRecord record{e.fields.id, e.fields.type, e.fields.group, e.fields.material, *e.nodes};
        if (!binary) note_element_widths(e, source);
        if (!binary && keep && !element_comes_back(record, source)) {
            add_raw(source);
            return;
        }
        block.entries.push_back({static_cast<int64_t>(block.elements.size())});
        block.elements.push_back(std::move(record));
    }

    // ---- results ----

    void expect(uint64_t records, uint64_t components) {
        block.entries.reserve(records);
        block.results.reserve(records);
        block.result_values.reserve(records * components);
    }

    // Read back with the rules and widths that any reader of the written
    // file uses, the record gives the same node and the same bits.
    bool result_comes_back(const ResultRecordRead& r) {
        if (r.path == RecordPath::kStandard && block.id_width == static_cast<uint64_t>(read_width) && !block.zero_point) {
            return true;  // six digits and two exponent digits print back as they read
        }
        regenerated.clear();
        append_result_lines(regenerated, r.node, r.values, r.count, keep_layout());
        OneRecord again;
        AsciiResultWalk<OneRecord> walk(regenerated.view(), read_width, again);
        walk.walk(0, regenerated.size);
        return again.records == 1 && again.other_lines == 0 && again.node == r.node &&
               again.values.size() == r.count && same_bits(again.values.data(), r.values, r.count);
    }

    bool record(const ResultRecordRead& r) {
        const bool ascii = !is_binary(static_cast<int32_t>(block.format));
        const std::string_view source = input.substr(r.begin, r.end - r.begin);
        if (ascii && block.results.empty()) {
            const std::string_view rest = after_key(first_line(source), "-1");
            block.id_width = r.path == RecordPath::kPacked ? static_cast<uint64_t>(read_width) : id_field_width(rest);
            block.zero_point = written_in_zero_point(source);
        }
        if (ascii && keep && !result_comes_back(r)) {
            add_raw(source);
            return true;
        }
        block.entries.push_back({static_cast<int64_t>(block.results.size())});
        block.results.push_back({r.node, block.result_values.size(), r.count});
        block.result_values.insert(block.result_values.end(), r.values, r.values + r.count);
        return true;
    }

    // The lines from `begin` to `end`, each with its terminator, as header lines.
    void add_header_lines(uint64_t begin, uint64_t end) {
        if (begin >= end) return;
        LineCursor cursor = make_cursor(input.substr(0, end));
        cursor.position = begin;
        Line line;
        while (next_line(cursor, line)) block.lines.emplace_back(line.full);
    }

    void read_result_records(const ResultLocation& location) {
        if (is_binary(location.format)) {
            walk_binary_results(input, location.records_begin, location.records_end, location.format,
                                location.components, *this);
            return;
        }
        // Room for the records the header states, as far as their lines can
        // hold them, so that a large block does not grow by copying.
        constexpr uint64_t kShortestRecordLine = 16;
        const uint64_t lines = (location.records_end - location.records_begin) / kShortestRecordLine;
        if (block.stated_count > 0) expect(std::min(static_cast<uint64_t>(block.stated_count), lines), 6);
        AsciiResultWalk<Reader> walk(input, read_width, *this);
        walk.walk(location.records_begin, location.records_end);
    }

    bool result_block(const Line& line, const ResultHeader& read, const ResultLocation& location) {
        start_block(kResultBlock, line, read.block);
        if (location.outcome == ResultLocation::kUnlocatable) {
            failure = unlocatable_text(location.reason);
            return false;
        }
        const bool cut_off = location.outcome == ResultLocation::kIncomplete;
        if (cut_off && (is_binary(location.format) || (!line.terminated() && is_binary(read.block.format)))) {
            failure = "truncated binary result block";
            return false;
        }
        // Under a binary header, lines that came before any "-4" line make
        // an ASCII block, as every reader takes it.
        if (is_binary(read.block.format) && !is_binary(location.format)) {
            block.format = kAsciiLong;
            keep = target == kKeepFormats || target == kAsciiLong;
        }
        add_header_lines(line.end(), location.section_end);
        if (location.outcome == ResultLocation::kLocated || cut_off) read_result_records(location);
        if (location.end_line_end > location.end_line_begin) {
            block.end_line.assign(input.substr(location.end_line_begin, location.end_line_end - location.end_line_begin));
        }
        block.cut_off = cut_off;
        document.blocks.push_back(std::move(block));
        return true;
    }
};

}  // namespace

BlockReadResult read_blocks(std::string_view bytes, int32_t target) {
    Reader reader(bytes, target);
    LineCursor cursor = make_cursor(bytes);
    DocumentFieldWidth continuation_width;
    walk_blocks(cursor, continuation_width, reader);
    BlockReadResult result;
    if (!reader.failure.empty()) {
        result.error = std::move(reader.failure);
        return result;
    }
    result.ok = true;
    result.document = std::move(reader.document);
    return result;
}

}  // namespace kovan
