// The ASCII lines of one node, element or result record, exactly as the
// serialiser writes them.
#pragma once

#include <cstdint>
#include <string_view>

#include "blocks/block_model.h"
#include "blocks/output_text.h"
#include "frd/format.h"

namespace kovan {

struct AsciiLayout {
    int id_width = 10;    // first integer field of a record
    int node_width = 10;  // element continuation fields
    bool zero_point = false;
    std::string_view terminator = "\n";
};

// The layout of a block's ASCII records in format `code`: a block that
// keeps its own format keeps its widths and notation as read, a converted
// one takes the standard widths and notation.
AsciiLayout ascii_layout(const Block& block, int32_t code, bool keep, std::string_view terminator);

// " -1", the id, x, y and z.
void append_node_lines(OutputText& out, int64_t id, double x, double y, double z, const AsciiLayout& layout);

// " -1", id, type, group and material; then " -2" lines of node numbers,
// 15 to a line in 5-column fields, else 10.
void append_element_lines(OutputText& out, const ElementRecord& element, const AsciiLayout& layout);

// " -1" and the id, then six values to a line, further lines " -2" with the
// id columns blank.
void append_result_lines(OutputText& out, int64_t node, const double* values, uint64_t count,
                         const AsciiLayout& layout);

}  // namespace kovan
