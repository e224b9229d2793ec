// The header lines that open node, element and result blocks.
#pragma once

#include <cstdint>
#include <string>
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

// What a "100C" line says about its result set besides where it lies.
struct ResultFacts {
    std::string value_text;     // the step value as written ("28542.44136", "5.00000E-01")
    int32_t analysis = -1;      // CalculiX's analysis type: 0 static, 1 time step, 2 frequency,
                                // 3 load step, 4 user; -1 when the line states none
    std::string analysis_text;  // the analysis name after the set's number ("MODAL"), or ""
};

struct ResultHeader {
    StepKey key;
    BlockHeader block;  // count: the number of node records
    ResultFacts facts;
};

// A "100C" line, as it stands in the file (untrimmed): FRD's columns first,
// tokens where the columns do not read. The format code is its last field
// when it has at least five.
ResultHeader read_result_header(std::string_view line, std::vector<std::string_view>& tokens);

}  // namespace kovan
