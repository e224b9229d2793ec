#include "frd/element_line.h"

#include "frd/line_cursor.h"
#include "frd/number_tokens.h"

namespace kovan {

std::optional<ElementLine> read_element_line(std::string_view rest) {
    const std::string_view fields[4] = {next_token(rest), next_token(rest), next_token(rest), next_token(rest)};
    const auto type = parse_int(fields[1]);
    if (!type) return std::nullopt;
    const auto id = parse_int(fields[0]);
    const auto group = parse_int(fields[2]);
    const auto material = parse_int(fields[3]);
    ElementLine line;
    line.id = id.value_or(0);
    line.type = *type;
    line.group = group.value_or(0);
    line.material = material.value_or(0);
    line.all_fields_read = id && group && material;
    return line;
}

}  // namespace kovan
