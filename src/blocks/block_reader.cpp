#include "blocks/block_reader.h"

#include <algorithm>

#include "blocks/exact_records.h"
#include "blocks/record_lines.h"
#include "blocks/serialiser.h"
#include "frd/block_failures.h"
#include "frd/block_walk.h"
#include "frd/format.h"
#include "frd/keys.h"
#include "frd/result_records.h"

namespace kovan {
namespace {

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

// The sink of the core's walk that keeps everything it is handed as blocks:
// records as values where they can be written again exactly, every other
// line as it stood.
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
    bool keep = false;    // it keeps its format: records must come back exactly, or stay as they stood
    int read_width = 10;  // the id columns in which its ASCII records are read
    ExactnessScratch scratch;

    // The terminator of the first top-level line that has one ends every
    // line the serialiser makes.
    void note_terminator(const Line& line) {
        if (terminator_decided || !line.terminated()) return;
        document.line_terminator.assign(line.full.substr(line.text.size()));
        terminator_decided = true;
    }

    void add_raw(std::string_view text) { block.entries.push_back(raw_entry(block, text)); }
    bool ascii() const { return !is_binary(static_cast<int32_t>(block.format)); }

    AsciiLayout keep_layout() const {
        return ascii_layout(block, static_cast<int32_t>(block.format), true, document.line_terminator);
    }

    void start_block(BlockKey kind, const Line& line, const BlockHeader& read) {
        note_terminator(line);
        block = Block();
        block.kind = kind;
        block.lines.emplace_back(line.full);
        block.format = static_cast<uint32_t>(read.format);
        block.stated_count = read.count;
        // A code of more than one character ("01", "+1") would keep declaring
        // its old value after a new digit is written into it.
        block.format_restampable = read.format_stated && read.format_size == 1;
        block.format_field_at = read.format_at;
        header = read;
        keep = target == kKeepFormats || target == read.format;
        read_width = ascii_id_width(read.format);
    }

    // ---- the walk's events ----

    void text_line(const Line& line) {
        note_terminator(line);
        if (document.blocks.empty() || document.blocks.back().kind != BlockKey::kNone) document.blocks.emplace_back();
        document.blocks.back().lines.emplace_back(line.full);
    }

    void begin_block(BlockKey key, const Line& line, const BlockHeader& read, uint64_t most_records) {
        start_block(key, line, read);
        block.entries.reserve(most_records);
        if (key == BlockKey::kNodes) block.nodes.reserve(most_records);
        if (key == BlockKey::kElements) block.elements.reserve(most_records);
    }

    void other_line(const Line& line) { add_raw(line.full); }
    void end_line(const Line& line) { block.end_line.assign(line.full); }

    void end_block(BlockKey key, const BlockHeader& read, const BlockEnd& end) {
        if (end.outcome == BlockEnd::kFailed || (end.outcome == BlockEnd::kIncomplete && !ascii())) {
            failure = binary_block_failure(key, read, end);
            return;
        }
        block.cut_off = end.outcome == BlockEnd::kIncomplete;
        document.blocks.push_back(std::move(block));
    }

    void ascii_node(const NodeLine& node, const Line& line) {
        if (block.nodes.empty()) {
            const RecordLayout layout = node_layout(node, after_key(line.text, "-1"));
            block.id_width = layout.id_width;
            block.zero_point = layout.zero_point;
        }
        if (keep && !node_comes_back(node, keep_layout(), header.format, header.format_stated, scratch)) {
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

    void note_element_widths(const ElementRead& e, std::string_view source) {
        if (block.elements.empty()) block.id_width = element_id_width(source);
        if (block.node_id_width != 0 || e.first_line_numbers == 0) return;
        const uint64_t length = e.first_line_length, n = e.first_line_numbers;
        block.node_id_width = length % n == 0 ? length / n : e.field_width;
    }

    void element(const ElementRead& e) {
        const std::string_view source = input.substr(e.begin, e.end_offset - e.begin);
        if (!e.fields.all_fields_read) {
            add_raw(source);
            return;
        }
        ElementRecord record{e.fields.id, e.fields.type, e.fields.group, e.fields.material, *e.nodes};
        if (ascii()) note_element_widths(e, source);
        if (ascii() && keep && !element_comes_back(record, source, keep_layout(), scratch)) {
            add_raw(source);
            return;
        }
        block.entries.push_back({static_cast<int64_t>(block.elements.size())});
        block.elements.push_back(std::move(record));
    }

    void expect(uint64_t records, uint64_t components) {
        block.entries.reserve(records);
        block.results.reserve(records);
        block.result_values.reserve(records * components);
    }

    bool record(const ResultRecordRead& r) {
        const std::string_view source = input.substr(r.begin, r.end - r.begin);
        if (ascii() && block.results.empty()) {
            const RecordLayout layout = result_layout(r, source, read_width);
            block.id_width = layout.id_width;
            block.zero_point = layout.zero_point;
        }
        if (ascii() && keep && !result_comes_back(r, block, read_width, keep_layout(), scratch)) {
            add_raw(source);
            return true;
        }
        block.entries.push_back({static_cast<int64_t>(block.results.size())});
        block.results.push_back({r.node, block.result_values.size(), r.count});
        block.result_values.insert(block.result_values.end(), r.values, r.values + r.count);
        return true;
    }

    // The lines from `begin` to `end`, each with its terminator, as header
    // lines; and the components a binary reader would find after them.
    void add_header_lines(uint64_t begin, uint64_t end) {
        if (begin >= end) return;
        LineCursor cursor = make_cursor(input.substr(0, end));
        cursor.position = begin;
        Line line;
        while (next_line(cursor, line)) block.lines.emplace_back(line.full);
        const int64_t stored = stored_components_after(input.substr(begin, end - begin));
        block.stored_components = static_cast<uint64_t>(std::max<int64_t>(stored, 0));
    }

    void read_result_records(const ResultLocation& location) {
        LineCursor records = make_cursor(input.substr(0, location.records_end));
        records.position = location.records_begin;
        if (is_binary(location.format)) {
            walk_binary_results(records, location.format, location.components, *this);
            return;
        }
        // Room for the records the header states, as far as their lines can
        // hold them, so that a large block does not grow by copying.
        constexpr uint64_t kShortestRecordLine = 16;
        const uint64_t lines = (location.records_end - location.records_begin) / kShortestRecordLine;
        if (block.stated_count > 0) expect(std::min(static_cast<uint64_t>(block.stated_count), lines), 6);
        AsciiResultWalk<Reader> walk(read_width, *this);
        walk.walk(records, input.size());
    }

    bool result_block(const Line& line, const ResultHeader& read, const ResultLocation& location) {
        start_block(BlockKey::kResults, line, read.block);
        if (location.outcome == ResultLocation::kUnlocatable) {
            failure = unlocatable_text(location.reason);
            return false;
        }
        const bool cut_off = location.outcome == ResultLocation::kIncomplete;
        if (cut_off && (is_binary(location.format) || (!line.terminated() && is_binary(read.block.format)))) {
            failure = binary_block_failure(BlockKey::kResults, read.block, BlockEnd{BlockEnd::kIncomplete});
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
