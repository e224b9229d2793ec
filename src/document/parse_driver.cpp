#include "document/parse_driver.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

#include "document/mesh_finalise.h"
#include "document/raw_mesh.h"
#include "frd/block_failures.h"
#include "frd/block_walk.h"
#include "frd/format.h"
#include "frd/header_records.h"
#include "frd/result_records.h"
#include "frd/step_key.h"

namespace kovan {
namespace {

int64_t stated_or_unknown(int64_t count) { return count >= 0 ? count : -1; }

// A list of component names as one key: each name ended by a zero byte.
std::string joined(const std::vector<std::string>& names) {
    std::string key;
    for (const std::string& name : names) key.append(name).push_back('\0');
    return key;
}

// Counts the records of a result block without keeping them.
struct RecordCount {
    int64_t records = 0;
    void expect(uint64_t, uint64_t) {}
    bool record(const ResultRecordRead&) {
        ++records;
        return true;
    }
    void other_line(const Line&) {}
};

// What the Document keeps of the walk: the mesh, the diagnostics, and the
// result blocks located under their steps. Everything else is scratch.
struct ParseSink {
    explicit ParseSink(Document& d) : doc(d) {}

    Document& doc;
    RawMesh mesh;
    std::map<StepKey, uint64_t, StepKeyLess> step_key_index;
    uint64_t header_line = 0;
    uint64_t header_start = 0;
    bool mesh_blocks = false;  // a node or element block was read
    // The first block or line that the end of the text cuts off, where a
    // reading of the grown text starts again.
    bool cut = false;
    ResumePoint cut_at;
    bool payload_at_end = false;  // a binary node or element block's payload reached the end
    bool end_line_cut = false;    // the block's " -3" line has no line end
    // The "1P" records read since the last result block, and where the
    // first of them stands (UINT64_MAX: none).
    SetParameters parameters;
    uint64_t parameters_from = UINT64_MAX;
    uint64_t parameters_line = 0;
    std::unordered_map<std::string, uint64_t> names_index;  // component name lists, joined
    std::vector<std::string_view> tokens;

    void see_line(const Line& line) {
        if (doc.resume.frd_line_seen) return;
        const std::string_view trimmed = trim(line.text);
        doc.resume.frd_line_seen = line.terminated() ? is_frd_line(trimmed) : may_become_frd_line(trimmed);
    }

    void note_cut(uint64_t start, uint64_t line_number) {
        if (cut) return;
        cut = true;
        cut_at = ResumePoint{start, line_number - 1, doc.resume.frd_line_seen};
    }

    void add_diagnostic(int32_t kind, int32_t element_type, uint64_t line, int64_t expected, int64_t found) {
        doc.diagnostics.push_back(Diagnostic{kind, element_type, static_cast<int64_t>(line), expected, found});
    }

    // A block that the end of the text cuts off: the file may still be being written.
    void report_incomplete(uint64_t line, int64_t stated_count, int64_t found) {
        add_diagnostic(KOVAN_DIAG_INCOMPLETE_BLOCK, 0, line, stated_or_unknown(stated_count), found);
    }

    // A line the end of the text cuts off is read again, and tells anew
    // whether the text is FRD.
    void text_line(const Line& line) {
        payload_at_end = false;
        if (!line.terminated()) note_cut_after_parameters(line.start, line.number);
        see_line(line);
        if (line.terminated()) read_header_record(line);
    }

    // "1U" records describe the model; "1P" records the result block that
    // follows them.
    void read_header_record(const Line& line) {
        const std::string_view trimmed = trim(line.text);
        if (auto user = read_user_record(trimmed)) {
            doc.header_records.push_back(HeaderRecord{line.start, std::move(*user)});
            return;
        }
        if (!read_parameter_record(trimmed, parameters, tokens)) return;
        if (parameters_from == UINT64_MAX) {
            parameters_from = line.start;
            parameters_line = line.number;
        }
    }

    // A reading of the grown text starts again at the parameter records of
    // the block that is cut off, so that they still reach it.
    void note_cut_after_parameters(uint64_t start, uint64_t line_number) {
        if (parameters_from != UINT64_MAX) {
            note_cut(parameters_from, parameters_line);
        } else {
            note_cut(start, line_number);
        }
    }

    uint32_t names_of(std::vector<std::string>&& names) {
        if (names.empty()) return 0;
        const auto [it, inserted] = names_index.try_emplace(joined(names), doc.component_names.size());
        if (inserted) doc.component_names.push_back(std::move(names));
        return static_cast<uint32_t>(it->second);
    }
    void other_line(const Line&) {}
    // A " -3" line that the end of the text cuts off may still become
    // another line ("-3.5"): its block is read again when the text grows.
    void end_line(const Line& line) { end_line_cut = !line.terminated(); }

    void begin_block(BlockKey key, const Line& line, const BlockHeader&, uint64_t most_records) {
        end_line_cut = false;
        doc.resume.frd_line_seen = true;
        mesh_blocks = true;
        header_line = line.number;
        header_start = line.start;
        if (key == BlockKey::kNodes) reserve_nodes(mesh, most_records);
        if (key == BlockKey::kElements) reserve_elements(mesh, most_records);
    }

    void ascii_node(const NodeLine& node, const Line&) { add_node(mesh, node.id, node.xyz[0], node.xyz[1], node.xyz[2]); }
    void binary_node(const BinaryNode& node) { add_node(mesh, node.id, node.x, node.y, node.z); }

    void element(const ElementRead& e) {
        const auto found = static_cast<int64_t>(e.nodes->size());
        switch (e.end) {
            case ElementRead::kUnknownType:
                add_diagnostic(KOVAN_DIAG_UNKNOWN_TYPE, e.type_code, e.line, -1, -1);
                return;
            case ElementRead::kShort:
                add_diagnostic(KOVAN_DIAG_MISSING_NODES, e.type_code, e.line, e.type->node_count, found);
                return;
            case ElementRead::kCut:
                return;  // the block is reported as cut off
            case ElementRead::kComplete:
                if (found > e.type->node_count) {
                    add_diagnostic(KOVAN_DIAG_SURPLUS_NODES, e.type_code, e.line, e.type->node_count, found);
                }
                add_element(mesh, e.fields, *e.type, e.nodes->data(), doc.wedge_order());
                return;
        }
    }

    void end_block(BlockKey key, const BlockHeader& header, const BlockEnd& end) {
        payload_at_end = is_binary(header.format) && end.outcome == BlockEnd::kComplete && end.records_end == doc.size;
        if (end.outcome == BlockEnd::kIncomplete) report_incomplete(header_line, header.count, end.records);
        if (end.outcome == BlockEnd::kIncomplete || end_line_cut) note_cut(header_start, header_line);
        if (end.outcome == BlockEnd::kFailed) doc.parse_error = binary_block_failure(key, header, end);
        doc.mesh_marks.push_back(BlockMark{header_start, header_start + kMeshMarkBytes, 0});
    }

    StepEntry& step_for(const ResultHeader& header, uint64_t header_start) {
        const StepKey& key = header.key;
        const auto [it, inserted] = step_key_index.try_emplace(key, doc.steps.size());
        if (inserted) {
            StepEntry step;
            step.time = key.time;
            step.has_set_number = key.has_set_number;
            step.set_number = key.set_number;
            step.first_header = header_start;
            step.facts = StepFacts{header.facts, parameters};
            doc.steps.push_back(std::move(step));
        }
        return doc.steps[it->second];
    }

    // The records of a block that the end of the text cuts off, read again
    // from where they begin.
    int64_t records_before_cut(const ResultLocation& location, int32_t id_width) {
        if (is_binary(location.format)) return location.whole_records;
        Window window;
        LineCursor records = source_cursor(*doc.source, location.records_begin, doc.size, window, doc.window_bytes);
        RecordCount count;
        AsciiResultWalk<RecordCount> walk(id_width, count);
        walk.walk(records, doc.size);
        return count.records;
    }

    // A header cut off by the end of the text may state a wrong time, so it
    // makes no step.
    // Where a block's end was told only by the end of the text (its " -3"
    // line without a line end, or a binary payload with nothing after it),
    // more text may tell it otherwise: the block is read again when the text
    // grows.
    bool ended_by_the_text(const ResultLocation& location) {
        if (location.end_line_end > location.end_line_begin && location.end_line_end == doc.size) {
            char last = 0;
            return read_source(*doc.source, doc.size - 1, &last, 1) != 1 || (last != '\n' && last != '\r');
        }
        if (!is_binary(location.format) || location.outcome != ResultLocation::kLocated) return false;
        constexpr uint64_t kMostBlanks = 4096;
        const uint64_t left = doc.size - location.records_end;
        if (left > kMostBlanks) return false;
        char rest[kMostBlanks];
        if (read_source(*doc.source, location.records_end, rest, left) != static_cast<int64_t>(left)) return false;
        return std::string_view(rest, left).find_first_not_of("\r\n ") == std::string_view::npos;
    }

    bool result_block(const Line& line, const ResultHeader& header, ResultLocation& location) {
        payload_at_end = false;
        if (!line.terminated() || location.outcome == ResultLocation::kIncomplete || ended_by_the_text(location)) {
            note_cut_after_parameters(line.start, line.number);
        }
        see_line(line);
        const int64_t stated = header.block.count;
        const int32_t id_width = ascii_id_width(header.block.format);
        if (!line.terminated()) {
            report_incomplete(line.number, stated, 0);
            return true;
        }
        StepEntry& step = step_for(header, line.start);
        parameters = SetParameters();  // each block's records come before it
        parameters_from = UINT64_MAX;
        if (location.outcome == ResultLocation::kIncomplete) {
            report_incomplete(line.number, stated, records_before_cut(location, id_width));
        } else if (location.outcome == ResultLocation::kLocated) {
            step.blocks.push_back(BlockRef{location.name, line.start, location.records_begin, location.records_end,
                                           location.records_line, location.format,
                                           static_cast<int32_t>(location.components), id_width, 0,
                                           names_of(std::move(location.component_names))});
        }
        return true;
    }
};

// The marks of the blocks the parse found from `from` on, where the source
// can change.
bool mark_blocks(Document& doc, uint64_t from) {
    if (bytes_in_memory(*doc.source) != nullptr) return true;
    for (BlockMark& mark : doc.mesh_marks) {
        mark.end = std::min(mark.end, doc.size);
        if (mark.begin >= from && !mark_bytes(*doc.source, mark.begin, mark.end, mark.hash)) return false;
    }
    for (StepEntry& step : doc.steps) {
        for (BlockRef& ref : step.blocks) {
            if (ref.header >= from && !mark_bytes(*doc.source, ref.header, ref.end, ref.mark)) return false;
        }
    }
    return true;
}

// Steps in the order in which the file first names them, each told its
// place; then, unless the caller keeps that order, by time, steps of equal
// time in file order.
void order_steps(Document& doc) {
    std::sort(doc.steps.begin(), doc.steps.end(),
              [](const StepEntry& a, const StepEntry& b) { return a.first_header < b.first_header; });
    for (uint64_t i = 0; i < doc.steps.size(); ++i) doc.steps[i].file_index = i;
    if (doc.flags() & KOVAN_OPEN_FILE_ORDER) return;
    std::stable_sort(doc.steps.begin(), doc.steps.end(),
                     [](const StepEntry& a, const StepEntry& b) { return time_less(a.time, b.time); });
}

void name_materials(Document& doc) {
    doc.materials.clear();
    for (const HeaderRecord& header : doc.header_records) {
        if (header.record.key != "MAT") continue;
        if (auto material = read_material_name(header.record.value)) doc.materials.push_back(std::move(*material));
    }
}

void finish(ParseSink& sink, const LineCursor& cursor) {
    Document& doc = sink.doc;
    if (!doc.resume.frd_line_seen && doc.size > 0) sink.add_diagnostic(KOVAN_DIAG_NOT_FRD, 0, 1, -1, 0);
    if (sink.mesh_blocks) {
        auto mesh = std::make_shared<Mesh>();
        finalise_mesh(sink.mesh, *mesh);
        doc.mesh = std::move(mesh);
    }
    order_steps(doc);
    name_materials(doc);
    doc.step_slots.resize(doc.steps.size());
    if (!sink.cut && sink.parameters_from != UINT64_MAX) sink.note_cut(sink.parameters_from, sink.parameters_line);
    const bool frd_line_seen = doc.resume.frd_line_seen;
    doc.resume = sink.cut ? sink.cut_at : ResumePoint{cursor.position, cursor.line_count, frd_line_seen};
    if (sink.cut) return;
    char last = 0;
    if (sink.payload_at_end) {
        doc.resume.unfinished = ResumePoint::kLineEnd;
    } else if (doc.size > 0 && read_source(*doc.source, doc.size - 1, &last, 1) == 1 && last == '\r') {
        doc.resume.unfinished = ResumePoint::kLineFeed;
    }
}

const char* unreadable_text(const Source& source) {
    return source.kind == Source::kFile ? "the file could not be read to the end" : "the bytes could not be read";
}

// The walk from `cursor` on, into `sink`; the status of its end.
kovan_status walk_into(ParseSink& sink, LineCursor& cursor) {
    Document& doc = sink.doc;
    const uint64_t from = cursor.position;
    DocumentFieldWidth continuation_width;
    const BlockEnd end = walk_blocks(cursor, continuation_width, sink);
    if (read_failed(cursor)) {
        doc.parse_error = unreadable_text(*doc.source);
        return KOVAN_ERR_IO;
    }
    if (end.outcome == BlockEnd::kFailed) return KOVAN_ERR_PARSE;
    finish(sink, cursor);
    if (!mark_blocks(doc, from)) {
        doc.parse_error = unreadable_text(*doc.source);
        return KOVAN_ERR_IO;
    }
    return KOVAN_OK;
}

kovan_status failed(Document& doc, kovan_status status) {
    if (status != KOVAN_OK) doc.last_error.store(doc.parse_error.c_str());
    return status;
}

}  // namespace

kovan_status parse_document(Document& doc) {
    ParseSink sink(doc);
    Window window;
    LineCursor cursor = source_cursor(*doc.source, 0, doc.size, window, doc.window_bytes);
    return failed(doc, walk_into(sink, cursor));
}

kovan_status parse_appended(Document& doc, const Document& old, bool& mesh_changed) {
    ParseSink sink(doc);
    for (uint64_t i = 0; i < doc.steps.size(); ++i) {
        const StepEntry& step = doc.steps[i];
        sink.step_key_index.emplace(StepKey{step.has_set_number, step.set_number, step.time}, i);
    }
    for (uint64_t i = 1; i < doc.component_names.size(); ++i) sink.names_index.emplace(joined(doc.component_names[i]), i);
    // The end of the line the old text ended in, if it comes now.
    uint64_t from = old.resume.offset;
    char next[2] = {0, 0};
    const int64_t got = read_source(*doc.source, from, next, 2);
    if (old.resume.unfinished == ResumePoint::kLineEnd && got > 0 && next[0] == '\r') {
        ++from;
        next[0] = got > 1 ? next[1] : 0;
    }
    if (old.resume.unfinished != ResumePoint::kNothing && got > 0 && next[0] == '\n') ++from;
    Window window;
    LineCursor cursor = source_cursor(*doc.source, from, doc.size, window, doc.window_bytes);
    cursor.line_count = old.resume.lines;
    const kovan_status status = walk_into(sink, cursor);
    mesh_changed = sink.mesh_blocks;
    return failed(doc, status);
}

}  // namespace kovan
