#include "blocks/restamp.h"

#include "frd/line_cursor.h"
#include "frd/number_tokens.h"

namespace kovan {
namespace {

size_t count_fields(std::string_view text) {
    size_t n = 0;
    while (!next_token(text).empty()) ++n;
    return n;
}

}  // namespace

std::optional<FormatField> find_format_field(std::string_view header) {
    size_t end = header.size();
    while (end > 0 && (header[end - 1] == '\n' || header[end - 1] == '\r')) --end;
    while (end > 0 && is_frd_space(header[end - 1])) --end;
    size_t begin = end;
    while (begin > 0 && !is_frd_space(header[begin - 1])) --begin;
    if (begin == end || count_fields(header.substr(0, end)) < 3) return std::nullopt;
    const auto code = parse_int(header.substr(begin, end - begin));
    if (!code || *code < 0 || *code > 3) return std::nullopt;
    return FormatField{begin, end - begin, *code};
}

bool can_restamp(std::string_view header) {
    const auto field = find_format_field(header);
    return field && field->length == 1;
}

std::string restamp(std::string_view header, int32_t code) {
    std::string out(header);
    const auto field = find_format_field(header);
    if (field && field->length == 1 && code >= 0 && code <= 3) out[field->begin] = static_cast<char>('0' + code);
    return out;
}

}  // namespace kovan
