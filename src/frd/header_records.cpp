#include "frd/header_records.h"

#include "frd/line_cursor.h"
#include "frd/number_tokens.h"

namespace kovan {
namespace {

std::string_view key_after(std::string_view trimmed, std::string_view record) {
    if (trimmed.substr(0, record.size()) != record) return {};
    std::string_view rest = trimmed.substr(record.size());
    size_t end = 0;
    while (end < rest.size() && !is_frd_space(rest[end])) ++end;
    return rest.substr(0, end);
}

void read_step(const std::vector<std::string_view>& tokens, SetParameters& p) {
    if (tokens.size() < 4) return;
    const auto data_set = parse_int(tokens[1]);
    const auto increment = parse_int(tokens[2]);
    const auto step = parse_int(tokens[3]);
    if (!data_set || !increment || !step) return;
    p.has_step = true;
    p.data_set = *data_set;
    p.increment = *increment;
    p.step = *step;
}

void read_integer(const std::vector<std::string_view>& tokens, bool& has, int64_t& value) {
    const auto read = tokens.size() >= 2 ? parse_int(tokens[1]) : std::nullopt;
    if (!read) return;
    has = true;
    value = *read;
}

void read_real(const std::vector<std::string_view>& tokens, bool& has, double& value) {
    const auto read = tokens.size() >= 2 ? parse_real(tokens[1]) : std::nullopt;
    if (!read) return;
    has = true;
    value = *read;
}

}  // namespace

std::optional<UserRecord> read_user_record(std::string_view trimmed) {
    if (trimmed.substr(0, 2) != "1U") return std::nullopt;
    constexpr size_t kValueColumn = 18;  // after "1U"
    const std::string_view text = trimmed.substr(2);
    const std::string_view key = key_after(trimmed, "1U");
    const std::string_view after_key = text.substr(key.size());
    const std::string_view value = trim(after_key);
    const size_t value_at = value.empty() ? text.size() : static_cast<size_t>(value.data() - text.data());
    if (value.empty() || value_at >= kValueColumn || key == "MAT") return UserRecord{std::string(key), std::string(value)};
    return UserRecord{std::string(), std::string(trim(text))};
}

std::optional<MaterialName> read_material_name(std::string_view value) {
    size_t digits = 0;
    while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') ++digits;
    const auto number = parse_int(value.substr(0, digits));
    if (!number) return std::nullopt;
    return MaterialName{*number, std::string(trim(value.substr(digits)))};
}

bool read_parameter_record(std::string_view trimmed, SetParameters& p, std::vector<std::string_view>& tokens) {
    if (trimmed.substr(0, 2) != "1P") return false;
    const std::string_view key = key_after(trimmed, "1P");
    split_tokens(trimmed, tokens);
    if (key == "STEP") read_step(tokens, p);
    if (key == "MODE") read_integer(tokens, p.has_mode, p.mode);
    if (key == "HID") read_integer(tokens, p.has_nodal_diameter, p.nodal_diameter);
    if (key == "GM") read_real(tokens, p.has_generalised_mass, p.generalised_mass);
    if (key == "GK") read_real(tokens, p.has_generalised_stiffness, p.generalised_stiffness);
    return true;
}

}  // namespace kovan
