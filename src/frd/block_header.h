// The header lines that open node, element and result blocks.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "frd/step_key.h"

namespace kovan {

struct BlockHeader {
    int64_t count = -1;          // -1 when the header states none
    int32_t format = 1;          // the format code, 1 when none is readable
    bool format_stated = false;  // the header's last field gave the format code
};

// A "2C" or "3C" line, trimmed.
BlockHeader read_block_header(std::string_view trimmed, std::vector<std::string_view>& tokens);

struct ResultHeader {
    StepKey key;
    int64_t node_count = -1;
    int32_t format = 1;
};

// A "100C" line, as it stands in the file (untrimmed): FRD's columns first,
// tokens where the columns do not read.
ResultHeader read_result_header(std::string_view line, std::vector<std::string_view>& tokens);

}  // namespace kovan
