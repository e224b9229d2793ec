// Node numbers on element continuation lines (" -2"), whose fixed-width
// fields may touch each other.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "frd/block_header.h"

namespace kovan {

// The first-line rule that decides a width once per document (or per read)
// when nothing in the block itself does.
struct DocumentFieldWidth {
    bool decided = false;
    bool long_fields = false;
};

// Decides the field width of one element block: the header's format code
// when it states one, else the width of the element-number field of the
// block's first "-1" line when that is 5 or 10, else the document's
// first-line rule (10 when that first "-2" text is longer than 50).
struct ContinuationWidth {
    size_t block_width = 0;  // 0 until the block tells
    bool first_element_seen = false;

    explicit ContinuationWidth(const BlockHeader& header);
    // `rest` is the text after an element line's "-1".
    void see_element_line(std::string_view rest);
    // `rest` is the text after a "-2".
    size_t width_for(std::string_view rest, DocumentFieldWidth& document);
};

// Appends the node numbers of the text after a "-2": fields of `width`
// (blank ones skipped); when one does not parse, every whitespace-separated
// token that parses as an integer instead.
void read_continuation_numbers(std::string_view rest, size_t width, std::vector<int64_t>& out);

}  // namespace kovan
