// The header lines that open node, element and result blocks.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "frd/keys.h"
#include "frd/step_key.h"

namespace kovan {

struct BlockHeader {
    int64_t count = -1;          // -1 when the header states none
    int32_t format = 1;          // the format code, 1 when none is readable
    bool format_stated = false;  // the header's last field gave the format code
    // Where that field stands in the line, so that it can be rewritten.
    size_t format_at = 0;
    size_t format_size = 0;
};

// A "2C" or "3C" line: the count is its second field, the format code its
// last field when it has at least three.
BlockHeader read_block_header(std::string_view line, std::vector<std::string_view>& tokens);

struct ResultHeader {
    StepKey key;
    BlockHeader block;  // count: the number of node records
};

// A "100C" line, as it stands in the file (untrimmed): FRD's columns first,
// tokens where the columns do not read. The format code is its last field
// when it has at least five.
ResultHeader read_result_header(std::string_view line, std::vector<std::string_view>& tokens);

}  // namespace kovan
