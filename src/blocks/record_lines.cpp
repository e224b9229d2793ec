#include "blocks/record_lines.h"

#include "blocks/field_format.h"

namespace kovan {

AsciiLayout ascii_layout(const Block& block, int32_t code, bool keep, std::string_view terminator) {
    const int standard_width = ascii_id_width(code);
    AsciiLayout layout{standard_width, standard_width, false, terminator};
    if (!keep) return layout;
    if (block.id_width != 0) layout.id_width = static_cast<int>(block.id_width);
    layout.zero_point = block.zero_point;
    layout.node_width = block.node_id_width != 0 ? static_cast<int>(block.node_id_width) : layout.id_width;
    return layout;
}

void append_node_lines(OutputText& out, int64_t id, double x, double y, double z, const AsciiLayout& layout) {
    out.append(" -1");
    append_integer(out, id, layout.id_width);
    for (double v : {x, y, z}) append_real(out, v, layout.zero_point);
    out.append(layout.terminator);
}

void append_element_lines(OutputText& out, const ElementRecord& element, const AsciiLayout& layout) {
    out.append(" -1");
    append_integer(out, element.id, layout.id_width);
    for (int64_t v : {element.type, element.group, element.material}) append_integer(out, v, 5);
    out.append(layout.terminator);
    const size_t per_line = layout.node_width == 5 ? 15 : 10;
    for (size_t k = 0; k < element.node_ids.size(); ++k) {
        if (k % per_line == 0) out.append(" -2");
        append_integer(out, element.node_ids[k], layout.node_width);
        if (k % per_line == per_line - 1 || k + 1 == element.node_ids.size()) out.append(layout.terminator);
    }
}

void append_result_lines(OutputText& out, int64_t node, const double* values, uint64_t count,
                         const AsciiLayout& layout) {
    constexpr uint64_t kPerLine = 6;
    out.append(" -1");
    append_integer(out, node, layout.id_width);
    for (uint64_t k = 0; k < count; ++k) {
        if (k != 0 && k % kPerLine == 0) {
            out.append(layout.terminator);
            out.append(" -2");
            out.append(static_cast<size_t>(layout.id_width), ' ');
        }
        append_real(out, values[k], layout.zero_point);
    }
    out.append(layout.terminator);
}

}  // namespace kovan
