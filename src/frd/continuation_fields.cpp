#include "frd/continuation_fields.h"

#include <algorithm>

#include "frd/format.h"
#include "frd/line_cursor.h"
#include "frd/number_tokens.h"
#include "frd/record_fields.h"

namespace kovan {

ContinuationWidth::ContinuationWidth(const BlockHeader& header) {
    if (header.format_stated) block_width = static_cast<size_t>(ascii_id_width(header.format));
}

void ContinuationWidth::see_element_line(std::string_view rest) {
    if (first_element_seen) return;
    first_element_seen = true;
    const size_t width = id_field_width(rest);
    if (block_width == 0 && (width == 5 || width == 10)) block_width = width;
}

size_t ContinuationWidth::width_for(std::string_view rest, DocumentFieldWidth& document) {
    if (block_width != 0) return block_width;
    if (!document.decided) {
        document.long_fields = trim_end(rest).size() > 50;
        document.decided = true;
    }
    return document.long_fields ? 10 : 5;
}

void read_continuation_numbers(std::string_view rest, size_t width, std::vector<int64_t>& out) {
    const size_t before = out.size();
    for (size_t at = 0; at < rest.size(); at += width) {
        const std::string_view field = rest.substr(at, width);
        if (std::all_of(field.begin(), field.end(), is_frd_space)) continue;
        const auto number = parse_int(trim(field));
        if (!number) {
            out.resize(before);
            for (std::string_view token = next_token(rest); !token.empty(); token = next_token(rest)) {
                if (const auto parsed = parse_int(token)) out.push_back(*parsed);
            }
            return;
        }
        out.push_back(*number);
    }
}

}  // namespace kovan
