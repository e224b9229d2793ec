#include "blocks/serialiser.h"

#include <algorithm>
#include <cstring>

#include "blocks/record_lines.h"
#include "blocks/restamp.h"
#include "frd/format.h"

namespace kovan {
namespace {

void put_i32(OutputText& out, int64_t value) {
    const auto bits = static_cast<uint32_t>(static_cast<int32_t>(value));
    const char bytes[4] = {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                           static_cast<char>((bits >> 16) & 0xFF), static_cast<char>((bits >> 24) & 0xFF)};
    out.append(bytes, 4);
}

void put_real(OutputText& out, double value, int32_t format) {
    uint64_t bits = 0;
    if (format == kBinaryDouble) {
        std::memcpy(&bits, &value, 8);
    } else {
        const auto single = static_cast<float>(value);
        uint32_t single_bits = 0;
        std::memcpy(&single_bits, &single, 4);
        bits = single_bits;
    }
    const size_t n = format == kBinaryDouble ? 8 : 4;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

// How one block's records are written.
struct Layout {
    int32_t code;  // the format written
    AsciiLayout ascii;
};

Layout layout_of(const Block& block, int32_t target, const std::string& terminator) {
    const int32_t code = target == kKeepFormats ? static_cast<int32_t>(block.format) : target;
    const bool keep = target == kKeepFormats || target == static_cast<int32_t>(block.format);
    return Layout{code, ascii_layout(block, code, keep, terminator)};
}

void write_node(OutputText& out, const NodeRecord& node, const Layout& layout) {
    if (!is_binary(layout.code)) {
        append_node_lines(out, node.id, node.x, node.y, node.z, layout.ascii);
        return;
    }
    put_i32(out, node.id);
    for (double v : {node.x, node.y, node.z}) put_real(out, v, layout.code);
}

void write_element(OutputText& out, const ElementRecord& element, const Layout& layout) {
    if (!is_binary(layout.code)) {
        append_element_lines(out, element, layout.ascii);
        return;
    }
    for (int64_t v : {element.id, element.type, element.group, element.material}) put_i32(out, v);
    for (int64_t node : element.node_ids) put_i32(out, node);
}

void write_result(OutputText& out, const Block& block, const ResultRecord& result, const Layout& layout) {
    const double* values = values_of(block, result);
    if (!is_binary(layout.code)) {
        append_result_lines(out, result.node_id, values, result.count, layout.ascii);
        return;
    }
    put_i32(out, result.node_id);
    for (uint64_t k = 0; k < result.count; ++k) put_real(out, values[k], layout.code);
}

void write_entry(OutputText& out, const Block& block, const LineEntry& entry, const Layout& layout) {
    if (entry.index < 0) {
        out.append(raw_text(block, entry));
        return;
    }
    const auto i = static_cast<size_t>(entry.index);
    switch (block.kind) {
        case BlockKey::kNodes: write_node(out, block.nodes.at(i), layout); break;
        case BlockKey::kElements: write_element(out, block.elements.at(i), layout); break;
        case BlockKey::kResults: write_result(out, block, block.results.at(i), layout); break;
        default: break;
    }
}

void write_block(OutputText& out, const Block& block, int32_t target, const std::string& terminator) {
    if (block.kind == BlockKey::kNone) {
        for (const std::string& line : block.lines) out.append(line);
        return;
    }
    const Layout layout = layout_of(block, target, terminator);
    for (size_t i = 0; i < block.lines.size(); ++i) {
        out.append(i == 0 ? restamped_header(block, layout.code) : block.lines[i]);
    }
    for (const LineEntry& entry : block.entries) write_entry(out, block, entry, layout);
    if (is_binary(layout.code)) return;
    if (!block.end_line.empty()) {
        out.append(block.end_line);
    } else if (is_binary(static_cast<int32_t>(block.format))) {
        out.append(" -3");
        out.append(terminator);
    }
}

// Room for a block as the given layout writes it, generously: a reserve
// that is too large costs only address space, one that is too small makes
// the text grow by copying.
uint64_t room_for(const Block& block, const Layout& layout) {
    const bool binary = is_binary(layout.code);
    const uint64_t id = binary ? 4 : 3 + static_cast<uint64_t>(std::max(layout.ascii.id_width, 10)) + 4;
    const uint64_t real = binary ? 8 : 13;
    uint64_t room = 64;
    for (const std::string& line : block.lines) room += line.size() + 16;
    room += block.end_line.size() + 8;
    for (const std::string& line : block.raw_lines) room += line.size();
    room += block.nodes.size() * (id + 3 * real);
    for (const ElementRecord& element : block.elements) {
        room += 4 * id + element.node_ids.size() * (binary ? 4 : 1 + static_cast<uint64_t>(std::max(layout.ascii.node_width, 10)));
    }
    room += block.results.size() * id + block.result_values.size() * (real + 1);
    return room;
}

uint64_t room_for(const BlockDocument& document, int32_t target) {
    uint64_t room = 0;
    for (const Block& block : document.blocks) {
        room += block.kind == BlockKey::kNone ? 0 : room_for(block, layout_of(block, target, document.line_terminator));
        if (block.kind == BlockKey::kNone) {
            for (const std::string& line : block.lines) room += line.size();
        }
    }
    return room;
}

}  // namespace

OutputText serialise(const BlockDocument& document, int32_t target) {
    OutputText out;
    const uint64_t room = room_for(document, target);
    if (room < SIZE_MAX / 2) out.reserve(static_cast<size_t>(room));
    for (const Block& block : document.blocks) write_block(out, block, target, document.line_terminator);
    return out;
}

}  // namespace kovan
