#include "frd/element_reader.h"

#include <algorithm>
#include <vector>

#include "frd/continuation_fields.h"
#include "frd/element_table.h"
#include "frd/format.h"
#include "frd/little_endian.h"
#include "frd/number_tokens.h"

namespace kovan {
namespace {

// The shortest ASCII element: a " -1" line and a " -2" line.
constexpr uint64_t kMinElementBytes = 16;

void reserve_elements(Document& doc, uint64_t count) {
    doc.raw_element_ends.reserve(doc.raw_element_ends.size() + count);
    doc.raw_element_types.reserve(doc.raw_element_types.size() + count);
    doc.raw_element_ids.reserve(doc.raw_element_ids.size() + count);
}

// Appends the element in VTK node order; surplus FRD node numbers are ignored.
void build_element(Document& doc, int64_t id, const ElementType& type, const int64_t* frd_nodes) {
    const uint8_t* order = vtk_node_order(type.frd_code, doc.wedge_order());
    for (uint32_t k = 0; k < type.node_count; ++k) doc.raw_element_nodes.push_back(frd_nodes[order[k]]);
    doc.raw_element_ends.push_back(doc.raw_element_nodes.size());
    doc.raw_element_types.push_back(type.vtk_type);
    doc.raw_element_ids.push_back(id);
}

void add_diagnostic(Document& doc, int32_t kind, int32_t element_type, uint64_t line, int64_t expected,
                    int64_t found) {
    doc.diagnostics.push_back(Diagnostic{kind, element_type, static_cast<int64_t>(line), expected, found});
}

struct AsciiElementReader {
    AsciiElementReader(Document& document, const BlockHeader& header) : doc(document), width(header) {}

    Document& doc;
    ContinuationWidth width;

    bool pending = false;
    uint64_t header_line = 0;
    int64_t element_id = 0;
    int32_t type_code = 0;
    const ElementType* type = nullptr;
    std::vector<int64_t> collected;

    void drop_incomplete() {
        add_diagnostic(doc, KOVAN_DIAG_MISSING_NODES, type_code, header_line, type->node_count,
                       static_cast<int64_t>(collected.size()));
        pending = false;
    }

    void read_header(std::string_view rest, uint64_t line_number) {
        width.see_element_line(rest);
        pending = false;
        const std::string_view id_token = next_token(rest);
        const auto code = parse_int(next_token(rest));
        if (!code) return;
        const int32_t code32 = static_cast<int32_t>(std::clamp<int64_t>(*code, INT32_MIN, INT32_MAX));
        type = element_type_for_code(code32);
        if (type == nullptr || *code != code32) {
            add_diagnostic(doc, KOVAN_DIAG_UNKNOWN_TYPE, code32, line_number, -1, -1);
            return;
        }
        pending = true;
        header_line = line_number;
        element_id = parse_int(id_token).value_or(0);
        type_code = code32;
        collected.clear();
    }

    void read_continuation(std::string_view rest) {
        read_continuation_numbers(rest, width.width_for(rest, doc.continuation_width), collected);
        if (collected.size() < type->node_count) return;
        if (collected.size() > type->node_count) {
            add_diagnostic(doc, KOVAN_DIAG_SURPLUS_NODES, type_code, header_line, type->node_count,
                           static_cast<int64_t>(collected.size()));
        }
        build_element(doc, element_id, *type, collected.data());
        pending = false;
    }

    // False once the block's " -3" line is read.
    bool read_line(std::string_view line, uint64_t line_number) {
        const std::string_view trimmed = trim(line);
        const bool continuation = trimmed.size() >= 2 && starts_with(trimmed, "-2");
        if (pending && !continuation) drop_incomplete();
        if (trimmed.size() < 2) return true;
        if (starts_with(trimmed, "-3")) return false;
        if (starts_with(trimmed, "-1")) {
            read_header(line.substr(line.find("-1") + 2), line_number);
        } else if (continuation && pending) {
            read_continuation(line.substr(line.find("-2") + 2));
        }
        return true;
    }
};

}  // namespace

void read_ascii_element_block(Document& doc, LineCursor& cursor, const BlockHeader& header) {
    if (header.count > 0) {
        reserve_elements(doc, std::min(static_cast<uint64_t>(header.count), bytes_left(cursor) / kMinElementBytes));
    }
    AsciiElementReader reader(doc, header);
    std::string_view line;
    while (next_line(cursor, line)) {
        if (!reader.read_line(line, cursor.line_count)) return;
    }
}

bool read_binary_element_block(Document& doc, LineCursor& cursor, int64_t count) {
    if (count < 0) return false;
    reserve_elements(doc, std::min(static_cast<uint64_t>(count), bytes_left(cursor) / kBinaryElementHeaderBytes));
    int64_t frd_nodes[kMaxElementNodes];
    for (int64_t i = 0; i < count; ++i) {
        if (bytes_left(cursor) < kBinaryElementHeaderBytes) return false;
        const char* record = cursor.text + cursor.position;
        const int64_t id = load_i32_le(record);
        const auto code = static_cast<int32_t>(load_i32_le(record + 4));
        const ElementType* type = element_type_for_code(code);
        if (type == nullptr) {
            add_diagnostic(doc, KOVAN_DIAG_UNKNOWN_TYPE, code, cursor.line_count, -1, -1);
            return false;
        }
        cursor.position += kBinaryElementHeaderBytes;
        if (bytes_left(cursor) < 4 * uint64_t{type->node_count}) return false;
        const char* nodes = cursor.text + cursor.position;
        for (uint32_t k = 0; k < type->node_count; ++k) frd_nodes[k] = load_i32_le(nodes + 4 * k);
        cursor.position += 4 * uint64_t{type->node_count};
        build_element(doc, id, *type, frd_nodes);
    }
    skip_one_line_end(cursor);
    return true;
}

}  // namespace kovan
