#include "blocks/exact_records.h"

#include <cstring>
#include <vector>

#include "frd/keys.h"
#include "frd/record_fields.h"

namespace kovan {
namespace {

// "0.12346E+04": after an optional sign, "0." and a digit other than 0
// before the exponent letter.
bool is_zero_point(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.substr(0, 2) != "0.") return false;
    for (size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'D' || c == 'E' || c == 'd' || c == 'e') return false;
        if (c != '0') return true;
    }
    return false;
}

// Whether a record's text writes any of its numbers in zero-point form.
bool written_in_zero_point(std::string_view text) {
    for (std::string_view token = next_record_token(text); !token.empty(); token = next_record_token(text)) {
        if (is_zero_point(token)) return true;
    }
    return false;
}

// The first line of a record's text.
std::string_view first_line(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

bool same_bits(const double* a, const double* b, uint64_t n) { return std::memcmp(a, b, n * sizeof(double)) == 0; }

// The one record that a regenerated text reads back as.
struct OneRecord {
    int64_t records = 0;
    int64_t other_lines = 0;
    int64_t node = 0;
    std::vector<double> values;
    void expect(uint64_t, uint64_t) {}
    bool record(const ResultRecordRead& r) {
        ++records;
        node = r.node;
        values.assign(r.values, r.values + r.count);
        return true;
    }
    void other_line(const Line&) { ++other_lines; }
};

}  // namespace

RecordLayout node_layout(const NodeLine& node, std::string_view rest) {
    const uint64_t width = node.packed_width != 0 ? static_cast<uint64_t>(node.packed_width) : id_field_width(rest);
    return RecordLayout{width, written_in_zero_point(rest)};
}

RecordLayout result_layout(const ResultRecordRead& r, std::string_view source, int read_width) {
    const std::string_view rest = after_key(first_line(source), "-1");
    const uint64_t width = r.path == RecordPath::kPacked ? static_cast<uint64_t>(read_width) : id_field_width(rest);
    return RecordLayout{width, written_in_zero_point(source)};
}

uint64_t element_id_width(std::string_view source) { return id_field_width(after_key(first_line(source), "-1")); }

bool node_comes_back(const NodeLine& node, const AsciiLayout& layout, int32_t format, bool format_stated,
                     ExactnessScratch& scratch) {
    scratch.regenerated.clear();
    append_node_lines(scratch.regenerated, node.id, node.xyz[0], node.xyz[1], node.xyz[2], layout);
    NodeLine again;
    return read_node_line(after_key(first_line(scratch.regenerated.view()), "-1"), format, format_stated,
                          scratch.node, again) &&
           again.id == node.id && same_bits(again.xyz, node.xyz, 3);
}

bool element_comes_back(const ElementRecord& element, std::string_view source, const AsciiLayout& layout,
                        ExactnessScratch& scratch) {
    scratch.regenerated.clear();
    append_element_lines(scratch.regenerated, element, layout);
    return scratch.regenerated.view() == source;
}

bool result_comes_back(const ResultRecordRead& r, const Block& block, int read_width, const AsciiLayout& layout,
                       ExactnessScratch& scratch) {
    if (r.path == RecordPath::kStandard && block.id_width == static_cast<uint64_t>(read_width) && !block.zero_point) {
        return true;  // six digits and two exponent digits print back as they read
    }
    scratch.regenerated.clear();
    append_result_lines(scratch.regenerated, r.node, r.values, r.count, layout);
    OneRecord again;
    LineCursor lines = make_cursor(scratch.regenerated.view());
    AsciiResultWalk<OneRecord> walk(read_width, again);
    walk.walk(lines, scratch.regenerated.size);
    return again.records == 1 && again.other_lines == 0 && again.node == r.node && again.values.size() == r.count &&
           same_bits(again.values.data(), r.values, r.count);
}

}  // namespace kovan
