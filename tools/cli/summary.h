// What a file holds, gathered through the C interface for info and check.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frd_input.h"

namespace kovan_cli {

struct ArraySummary {
    std::string name;
    uint32_t components = 0;
    bool derived = false;
    std::vector<double> min, max;  // per component, NaN values left out; NaN when none is a number
    std::vector<std::string> component_names;
    uint64_t tuples = 0;
    uint64_t points_with_values = 0;
};

struct StepSummary {
    double time = 0.0;
    kovan_step_info info{};  // its texts copied below: the summary outlives the document
    std::string value_text;
    std::string analysis_text;
    bool decoded = true;
    std::string error;  // why the step did not decode
    std::vector<ArraySummary> arrays;
};

struct Summary {
    std::string path;
    uint64_t size = 0;
    std::map<int, uint64_t> blocks_by_format;  // format code -> block headers found
    uint64_t stated_elements = 0;              // the counts of the element block headers
    bool element_counts_stated = true;
    uint64_t points = 0;
    uint64_t cells = 0;
    std::map<uint8_t, uint64_t> cells_by_type;
    std::vector<StepSummary> steps;
    std::vector<kovan_diagnostic> diagnostics;
    std::vector<std::pair<int64_t, std::string>> materials;     // number, name
    std::vector<std::pair<std::string, std::string>> header;    // key, value
};

// One step of the open document: its arrays with their ranges, or why it
// does not decode. The step is let go once summarised.
StepSummary summarise_step(kovan_document* doc, uint64_t step);

// Reads every step of the open document on `jobs` threads (showing progress
// on a terminal).
Summary summarise(const std::string& path, uint64_t size, const std::vector<HeaderLine>& headers,
                  kovan_document* doc, unsigned jobs);

// The machine's cores, the default number of jobs.
unsigned default_jobs();

const char* format_name(int format);
// What CalculiX's analysis type code means ("frequency"), or "".
const char* analysis_name(int32_t analysis);
// The library's description of a cell type, or "VTK type N".
std::string element_name(uint8_t vtk_type);

}  // namespace kovan_cli
