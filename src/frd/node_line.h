// Reading one ASCII node record line, shared by every reader of node blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovan {

struct NodeLine {
    int64_t id = 0;
    double xyz[3] = {0.0, 0.0, 0.0};
    // The coordinates' texts when the line read by tokens; empty when it was
    // read in FRD's packed columns. Views into the line.
    std::string_view texts[3];
    int packed_width = 0;  // the id width when read in packed columns, else 0
};

// Reused buffers, so that reading a line allocates nothing once warm.
struct NodeLineScratch {
    std::vector<double> packed;
};

// Reads the text after a node line's "-1": by tokens (a blank before every
// minus sign that is not an exponent's), or, when that fails, in FRD's
// packed columns with the node number in the block's integer width (both
// widths when the header states no format).
bool read_node_line(std::string_view rest, int32_t format, bool format_stated, NodeLineScratch& scratch,
                    NodeLine& out);

}  // namespace kovan
