// Locating the records of a result block ("100C") without reading them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frd/block_header.h"
#include "frd/line_cursor.h"

namespace kovan {

struct ResultLocation {
    enum Outcome {
        kLocated,     // records_begin .. records_end hold the block's records
        kNoRecords,   // a " -3" line came before any record
        kIncomplete,  // the end of the text cuts the block off
        kUnlocatable  // a binary block whose records cannot be found (reason)
    };
    enum Reason { kNoReason, kNoComponentCount, kMissingComponentLines, kNoStoredComponents, kNoNodeCount, kNotFollowed };

    Outcome outcome = kNoRecords;
    Reason reason = kNoReason;
    std::string name = "Unknown";  // from the "-4" line; "Unknown" when none came first
    std::vector<std::string> component_names;  // of the "-5" lines of stored components
    int32_t format = 1;                 // of the records: 2 or 3 once a binary "-4" line is read, else 1
    int64_t components = 0;             // values per binary record
    uint64_t section_end = 0;           // the lines between header and records end here
    uint64_t records_begin = 0;
    uint64_t records_end = 0;
    uint64_t records_line = 0;  // line number at the start of the records
    uint64_t end_line_begin = 0;  // the " -3" line, when one closed the block;
    uint64_t end_line_end = 0;    // both 0 when none did
    int64_t whole_records = 0;    // a cut binary block: the records the text holds
};

// A block that the end of the text cuts off before any of its records.
ResultLocation cut_off_at(uint64_t text_size);

// Reads the lines after a "100C" header (the cursor stands after it) and
// leaves the cursor after the block: past its " -3" line, past a binary
// payload and one line end, at the end of the text for a block cut off,
// or where an unlocatable binary block's lines stopped making sense.
ResultLocation locate_result_records(LineCursor& cursor, const BlockHeader& header,
                                     std::vector<std::string_view>& tokens);

struct ComponentLines {
    enum Outcome { kRead, kNoComponentCount, kNotAComponentLine, kCut };
    Outcome outcome = kRead;
    int64_t stored = 0;  // components whose values the records hold
    std::vector<std::string> names;  // theirs, in order
};

// The "-5" lines that follow the "-4" line `four` of a binary block (the
// cursor stands after it), as many as its third field declares. A "-5" line
// whose seventh field starts with the digit run 1 names a component that
// CalculiX computes (such as ALL) and that the records do not store.
ComponentLines read_component_lines(LineCursor& cursor, std::string_view four, std::vector<std::string_view>& tokens);

// The components whose values a binary block's records would hold after
// `lines`, the text between a result header and its records: its first
// "-4" line, then exactly the "-5" lines that declares, with nothing after
// them (the payload starts there); 0 when the lines do not read that way.
int64_t stored_components_after(std::string_view lines);

}  // namespace kovan
