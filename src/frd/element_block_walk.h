// Walking the records of an element block ("3C"), ASCII or binary:
//   sink.element(const ElementRead&)   an element record, once it ends
//   sink.other_line(const Line&)       a line of an ASCII block that is no record
//   sink.end_line(const Line&)         the " -3" line
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "frd/block_end.h"
#include "frd/block_header.h"
#include "frd/continuation_fields.h"
#include "frd/element_line.h"
#include "frd/element_table.h"
#include "frd/format.h"
#include "frd/keys.h"
#include "frd/line_cursor.h"
#include "frd/little_endian.h"

namespace kovan {

struct ElementRead {
    enum End {
        kComplete,     // its node list reached the type's node count (or went past it)
        kShort,        // another line came before the node list was complete
        kUnknownType,  // the type code is not in the element table; no node list follows
        kCut           // the end of the text came before the node list was complete
    };
    ElementLine fields;
    const ElementType* type = nullptr;  // null when the code is unknown
    int32_t type_code = 0;              // the code, clamped to 32 bits
    const std::vector<int64_t>* nodes = nullptr;  // FRD node numbers in file order
    End end = kComplete;
    uint64_t line = 0;   // line number of its "-1" line; of the block header for binary records
    uint64_t begin = 0;  // its lines (or its binary record) in the text
    uint64_t end_offset = 0;
    // How its node numbers stood: the field width they were read in, and the
    // first "-2" line that held any, its length without trailing blanks and
    // the numbers on it.
    size_t field_width = 0;
    uint64_t first_line_length = 0;
    uint64_t first_line_numbers = 0;
};

// An element's "-1" line and the "-2" lines that carry its node numbers,
// as long as its node list is not complete.
template <typename Sink>
struct AsciiElementWalk {
    AsciiElementWalk(const BlockHeader& header, DocumentFieldWidth& document_width, Sink& sink)
        : width(header), document_width(document_width), sink(sink) {}

    ContinuationWidth width;
    DocumentFieldWidth& document_width;
    Sink& sink;
    bool pending = false;
    ElementRead element;
    std::vector<int64_t> nodes;
    int64_t records = 0;  // element records that ended before any cut

    void emit(ElementRead::End end) {
        element.end = end;
        element.nodes = &nodes;
        pending = false;
        if (end != ElementRead::kCut) ++records;
        sink.element(element);
    }

    void read_header(const Line& line, std::string_view rest) {
        width.see_element_line(rest);
        const auto fields = read_element_line(rest);
        if (!fields) {
            sink.other_line(line);
            return;
        }
        element = ElementRead();
        element.fields = *fields;
        element.type = element_type_of(fields->type, element.type_code);
        element.line = line.number;
        element.begin = line.start;
        element.end_offset = line.end();
        nodes.clear();
        if (element.type == nullptr) {
            emit(ElementRead::kUnknownType);
        } else {
            pending = true;
        }
    }

    void read_continuation(const Line& line, std::string_view rest) {
        const size_t before = nodes.size();
        element.field_width = width.width_for(rest, document_width);
        read_continuation_numbers(rest, element.field_width, nodes);
        if (element.first_line_numbers == 0 && nodes.size() > before) {
            element.first_line_length = trim_end(rest).size();
            element.first_line_numbers = nodes.size() - before;
        }
        element.end_offset = line.end();
        if (nodes.size() >= element.type->node_count) emit(ElementRead::kComplete);
    }

    // False once the block's " -3" line is read.
    bool read_line(const Line& line) {
        const std::string_view trimmed = trim(line.text);
        if (!line.terminated()) {  // the last line of a text cut off
            if (pending) emit(ElementRead::kCut);
            if (!has_key(trimmed, "-3")) {
                sink.other_line(line);
                return true;
            }
        }
        const bool continuation = has_key(trimmed, "-2");
        if (pending && !continuation) emit(ElementRead::kShort);
        if (has_key(trimmed, "-3")) {
            sink.end_line(line);
            return false;
        }
        if (has_key(trimmed, "-1")) {
            read_header(line, after_key(line.text, "-1"));
        } else if (continuation && pending) {
            read_continuation(line, after_key(line.text, "-2"));
        } else {
            sink.other_line(line);
        }
        return true;
    }
};

template <typename Sink>
BlockEnd walk_ascii_elements(LineCursor& cursor, const BlockHeader& header, DocumentFieldWidth& document_width,
                             Sink& sink) {
    BlockEnd end;
    AsciiElementWalk<Sink> walk(header, document_width, sink);
    Line line;
    while (next_line(cursor, line)) {
        if (!walk.read_line(line)) {
            end.records = walk.records;
            return end;
        }
    }
    if (walk.pending) walk.emit(ElementRead::kCut);
    end.records = walk.records;
    end.outcome = BlockEnd::kIncomplete;
    return end;
}

// Binary records: number, type, group and material, then as many node
// numbers as the type has. An unknown type leaves the records after it
// unlocatable; the end of the text ends the block with the records it holds.
template <typename Sink>
BlockEnd walk_binary_elements(LineCursor& cursor, const BlockHeader& header, Sink& sink) {
    if (header.count < 0) return failed_block(BlockEnd::kNoCount);
    BlockEnd end;
    std::vector<int64_t> nodes(kMaxElementNodes);
    ElementRead element;
    element.line = cursor.line_count;
    element.nodes = &nodes;
    for (int64_t i = 0; i < header.count; ++i) {
        const char* at = bytes_at(cursor, cursor.position, kBinaryElementHeaderBytes);
        if (at == nullptr) break;
        element.fields = ElementLine{load_i32_le(at), load_i32_le(at + 4), load_i32_le(at + 8), load_i32_le(at + 12), true};
        element.type_code = static_cast<int32_t>(element.fields.type);
        element.type = element_type_for_code(element.type_code);
        if (element.type == nullptr) return failed_block(BlockEnd::kUnknownElementType, element.fields.type);
        const uint32_t count = element.type->node_count;
        const uint64_t node_bytes = 4 * uint64_t{count};
        at = bytes_at(cursor, cursor.position, kBinaryElementHeaderBytes + node_bytes);
        if (at == nullptr) break;
        nodes.resize(count);
        const char* numbers = at + kBinaryElementHeaderBytes;
        for (uint32_t k = 0; k < count; ++k) nodes[k] = load_i32_le(numbers + 4 * k);
        element.begin = cursor.position;
        cursor.position += kBinaryElementHeaderBytes + node_bytes;
        element.end_offset = cursor.position;
        sink.element(element);
        ++end.records;
    }
    if (end.records < header.count) {
        end.outcome = BlockEnd::kIncomplete;
        cursor.position = cursor.size;
        return end;
    }
    end.records_end = cursor.position;
    skip_one_line_end(cursor);
    return end;
}

template <typename Sink>
BlockEnd walk_element_block(LineCursor& cursor, const BlockHeader& header, DocumentFieldWidth& document_width,
                            Sink& sink) {
    return is_binary(header.format) ? walk_binary_elements(cursor, header, sink)
                                    : walk_ascii_elements(cursor, header, document_width, sink);
}

}  // namespace kovan
