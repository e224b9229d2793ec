#include "frd/block_header.h"

#include "frd/line_cursor.h"
#include "frd/number_tokens.h"

namespace kovan {
namespace {

// The last field states the format when it is one of the four codes.
void read_stated_format(std::string_view line, const std::vector<std::string_view>& tokens, size_t min_tokens,
                        BlockHeader& header) {
    if (tokens.size() < min_tokens) return;
    const auto code = parse_int(tokens.back());
    if (!code || static_cast<uint64_t>(*code) >= 4) return;
    header.format = static_cast<int32_t>(*code);
    header.format_stated = true;
    header.format_at = static_cast<size_t>(tokens.back().data() - line.data());
    header.format_size = tokens.back().size();
}

std::string_view column(std::string_view line, size_t begin, size_t end) {
    if (begin >= line.size()) return {};
    return line.substr(begin, end - begin);
}

// CalculiX prints "  100CL" then the set number in 5 columns, the time in 12
// and the node count in 12.
bool read_result_columns(std::string_view line, ResultHeader& header) {
    if (line.size() <= 24 || line[24] != ' ') return false;  // a wider time would run into the count
    const auto set_number = parse_int(trim(column(line, 7, 12)));
    const auto time = parse_real(trim(column(line, 12, 24)));
    const auto node_count = parse_int(trim(column(line, 24, 36)));
    if (!set_number || !time || !node_count) return false;
    header.key = StepKey{true, *set_number, *time};
    header.block.count = *node_count;
    header.facts.value_text = std::string(trim(column(line, 12, 24)));
    return true;
}

// After the node count CalculiX prints a 20-column text, the analysis type
// in 2 columns, a number in 5 and the analysis name in 10 ("     2    1MODAL"):
// the number and the name touch, so these are read by their columns.
bool read_analysis_columns(std::string_view line, ResultFacts& facts) {
    if (line.size() < 58) return false;
    const auto analysis = parse_int(trim(column(line, 56, 58)));
    if (!analysis || !parse_int(trim(column(line, 58, 63)))) return false;
    facts.analysis = static_cast<int32_t>(*analysis);
    facts.analysis_text = std::string(trim(column(line, 63, 73)));
    return true;
}

// Where the columns do not read: the analysis type is the field after the
// node count, and the name the letters that follow the digits of the next
// one, when the format code comes after them both.
void read_analysis_tokens(const std::vector<std::string_view>& tokens, ResultFacts& facts) {
    if (tokens.size() < 7) return;
    const auto analysis = parse_int(tokens[4]);
    if (!analysis || *analysis < INT32_MIN || *analysis > INT32_MAX) return;
    facts.analysis = static_cast<int32_t>(*analysis);
    const std::string_view numbered = tokens[5];
    size_t digits = 0;
    while (digits < numbered.size() && numbered[digits] >= '0' && numbered[digits] <= '9') ++digits;
    facts.analysis_text = std::string(numbered.substr(digits));
}

bool is_digits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// From set number 10000 on, CalculiX runs the set number into the key
// ("100CL10000"): split it off as if a blank stood before it.
void split_set_number_from_key(std::vector<std::string_view>& tokens) {
    if (tokens.empty()) return;
    const std::string_view first = tokens.front();
    if (first.size() < 6 || first.substr(0, 4) != "100C") return;
    const char letter = first[4];
    const bool is_letter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    if (!is_letter || !is_digits(first.substr(5))) return;
    tokens.front() = first.substr(0, 5);
    tokens.insert(tokens.begin() + 1, first.substr(5));
}

void read_result_tokens(const std::vector<std::string_view>& tokens, ResultHeader& header) {
    const auto set_number = tokens.size() >= 2 ? parse_int(tokens[1]) : std::nullopt;
    const auto time = tokens.size() >= 3 && set_number ? parse_real(tokens[2]) : std::nullopt;
    header.key = StepKey{set_number.has_value(), set_number.value_or(0), time.value_or(0.0)};
    const auto node_count = tokens.size() >= 4 ? parse_int(tokens[3]) : std::nullopt;
    header.block.count = node_count.value_or(-1);
    if (time) header.facts.value_text = std::string(tokens[2]);
}

}  // namespace

BlockHeader read_block_header(std::string_view line, std::vector<std::string_view>& tokens) {
    split_tokens(line, tokens);
    BlockHeader header;
    if (tokens.size() >= 2) header.count = parse_int(tokens[1]).value_or(-1);
    read_stated_format(line, tokens, 3, header);
    return header;
}

ResultHeader read_result_header(std::string_view line, std::vector<std::string_view>& tokens) {
    split_tokens(line, tokens);
    split_set_number_from_key(tokens);
    ResultHeader header;
    const bool columns = read_result_columns(line, header);
    if (!columns) read_result_tokens(tokens, header);
    if (!columns || !read_analysis_columns(line, header.facts)) read_analysis_tokens(tokens, header.facts);
    read_stated_format(line, tokens, 5, header.block);
    return header;
}

}  // namespace kovan
