// The step index that the parse leaves for result decoding: each step's
// result blocks, located but not read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frd/block_header.h"
#include "frd/header_records.h"
#include "frd/result_records.h"

namespace kovan {

// One located result block: where its records lie in the text.
struct BlockRef {
    std::string name;  // from the "-4" line; "Unknown" when none came first
    uint64_t header = 0;  // where its "100C" line starts
    uint64_t begin = 0;   // its records
    uint64_t end = 0;
    uint64_t line = 0;       // line number at the start of the records
    int32_t format = 1;      // 1 for ASCII, 2 or 3 for binary
    int32_t components = 0;  // values per binary record; 0 for ASCII
    int32_t id_width = 10;   // node number columns of an ASCII block: 5 in format 0
    uint64_t mark = 0;       // what its bytes were when it was indexed (fingerprint.h)
    uint32_t names = 0;      // its components' names: Document::component_names[names]
};

inline RecordsForm form_of(const BlockRef& ref) { return RecordsForm{ref.format, ref.components, ref.id_width}; }

// What the file says of a step, as its first result block's "100C" line
// and the "1P" records before it state it.
struct StepFacts {
    ResultFacts header;
    SetParameters parameters;
};

struct StepEntry {
    double time = 0.0;
    bool has_set_number = false;  // false when the "100" line gave none
    int64_t set_number = 0;
    uint64_t first_header = 0;  // where its first "100C" line starts: the steps' file order
    uint64_t file_index = 0;    // its place in file order among the document's steps
    StepFacts facts;
    std::vector<BlockRef> blocks;  // in file order
};

}  // namespace kovan
