// Whether a record that keeps its block's format can be written again from
// its values: written in the layout the block was read in, and read back by
// the rules every reader of FRD text uses, it must give the same numbers to
// the last bit. A record that would not stays as it stood, byte for byte.
#pragma once

#include <cstdint>
#include <string_view>

#include "blocks/block_model.h"
#include "blocks/output_text.h"
#include "blocks/record_lines.h"
#include "frd/node_line.h"
#include "frd/result_records.h"

namespace kovan {

// How a block's ASCII records stand, learnt from its first record: the
// width of its first integer field and whether its reals are written as
// 0.12346E+04.
struct RecordLayout {
    uint64_t id_width = 0;
    bool zero_point = false;
};

// The first node line's layout (`rest` is the text after its "-1").
RecordLayout node_layout(const NodeLine& node, std::string_view rest);
// The first result record's layout; `source` is its lines, `read_width` the
// id columns its block is read in.
RecordLayout result_layout(const ResultRecordRead& r, std::string_view source, int read_width);
// The width of the first integer field of an element's "-1" line.
uint64_t element_id_width(std::string_view source);

// Reused buffers of the checks below.
struct ExactnessScratch {
    OutputText regenerated;
    NodeLineScratch node;
};

bool node_comes_back(const NodeLine& node, const AsciiLayout& layout, int32_t format, bool format_stated,
                     ExactnessScratch& scratch);

// An element comes back only as the very lines it came from (`source`):
// how its node numbers read depends on field widths decided elsewhere.
bool element_comes_back(const ElementRecord& element, std::string_view source, const AsciiLayout& layout,
                        ExactnessScratch& scratch);

// `block` is the record's block as read so far (its layout), `read_width`
// the id columns its records are read in.
bool result_comes_back(const ResultRecordRead& r, const Block& block, int read_width, const AsciiLayout& layout,
                       ExactnessScratch& scratch);

}  // namespace kovan
