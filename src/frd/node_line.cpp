#include "frd/node_line.h"

#include "frd/format.h"
#include "frd/line_cursor.h"
#include "frd/number_tokens.h"
#include "frd/packed_record.h"
#include "frd/record_fields.h"
#include "frd/standard_columns.h"

namespace kovan {
namespace {

bool take_xyz(const std::vector<double>& values, NodeLine& out) {
    if (values.size() < 3) return false;
    for (int k = 0; k < 3; ++k) out.xyz[k] = values[k];
    return true;
}

bool read_standard(std::string_view rest, int width, NodeLineScratch& scratch, NodeLine& out) {
    int64_t id = 0;
    scratch.values.clear();
    if (!read_standard_id(rest, width, id) || !read_standard_reals(rest.substr(static_cast<size_t>(width)), scratch.values) ||
        !take_xyz(scratch.values, out)) {
        return false;
    }
    out.id = id;
    out.packed_width = 0;
    return true;
}

bool read_tokens(std::string_view rest, NodeLine& out) {
    std::string_view tokens = rest;
    const auto id = parse_int(next_record_token(tokens));
    if (!id) return false;
    for (int k = 0; k < 3; ++k) {
        const auto value = parse_real(next_record_token(tokens));
        if (!value) return false;
        out.xyz[k] = *value;
    }
    out.id = *id;
    out.packed_width = 0;
    return true;
}

bool read_packed(std::string_view rest, int id_width, NodeLineScratch& scratch, NodeLine& out) {
    int64_t id = 0;
    if (!read_packed_record(rest, id_width, id, scratch.values) || !take_xyz(scratch.values, out)) return false;
    out.id = id;
    out.packed_width = id_width;
    return true;
}

}  // namespace

bool read_node_line(std::string_view rest, int32_t format, bool format_stated, NodeLineScratch& scratch,
                    NodeLine& out) {
    const int width = ascii_id_width(format);
    if (read_standard(rest, width, scratch, out) || read_tokens(rest, out)) return true;
    if (read_packed(rest, width, scratch, out)) return true;
    return !format_stated && read_packed(rest, width == 5 ? 10 : 5, scratch, out);
}

}  // namespace kovan
