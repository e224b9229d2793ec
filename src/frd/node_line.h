// Reading one ASCII node record line, shared by every reader of node blocks.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kovan {

struct NodeLine {
    int64_t id = 0;
    double xyz[3] = {0.0, 0.0, 0.0};
    int packed_width = 0;  // the id width when read in packed columns, else 0
};

// Reused buffers, so that reading a line allocates nothing once warm.
struct NodeLineScratch {
    std::vector<double> values;
};

// Reads the text after a node line's "-1" in the order every record line is
// read: CalculiX's standard columns with the node number in the block's
// integer width, else by tokens (a blank before every minus sign that is not
// an exponent's), else in FRD's packed columns (in both integer widths when
// the header states no format). Fields after z are ignored.
bool read_node_line(std::string_view rest, int32_t format, bool format_stated, NodeLineScratch& scratch,
                    NodeLine& out);

}  // namespace kovan
