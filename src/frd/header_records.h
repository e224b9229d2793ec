// The records outside blocks that describe the model and its result sets:
// user header records ("1U") and the parameter records ("1P") that CalculiX
// writes before each "100C" block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovan {

// "    1UDATE              08.december.2026": key DATE, value 08.december.2026.
// CalculiX writes the key right after "1U" and the value from the 19th
// column after it (the 25th of the line). A record whose text comes sooner
// has no key: it is the model's heading ("    1UTwo materials"), whose whole
// text is the value. The "MAT" record is keyed however close its value
// follows.
struct UserRecord {
    std::string key;
    std::string value;
};

// A trimmed "1U" line; nothing for any other line.
std::optional<UserRecord> read_user_record(std::string_view trimmed);

// The value of a "1UMAT" record names a material after its number, the two
// touching ("    1UMAT    1STEEL").
struct MaterialName {
    int64_t number = 0;
    std::string name;
};
std::optional<MaterialName> read_material_name(std::string_view value);

// The parameters that the "1P" records before a result block state.
struct SetParameters {
    bool has_step = false;  // "1PSTEP": the data set's counter, increment and step
    int64_t data_set = 0;
    int64_t increment = 0;
    int64_t step = 0;
    bool has_mode = false;  // "1PMODE": the eigenmode
    int64_t mode = 0;
    bool has_nodal_diameter = false;  // "1PHID": the nodal diameter of a cyclic model (-1: none)
    int64_t nodal_diameter = 0;
    bool has_generalised_mass = false;  // "1PGM"
    double generalised_mass = 0.0;
    bool has_generalised_stiffness = false;  // "1PGK"
    double generalised_stiffness = 0.0;
};

// Reads a trimmed "1P" line into `parameters`: false when the line is no
// parameter record. Records this reader does not know ("1PSUBC"), or whose
// values do not read, change nothing. `tokens` is scratch.
bool read_parameter_record(std::string_view trimmed, SetParameters& parameters, std::vector<std::string_view>& tokens);

}  // namespace kovan
