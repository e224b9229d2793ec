// kovan check: every problem a file has, one per line; exit 0 only when clean.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "open_input.h"
#include "summary.h"

namespace kovan_cli {
namespace {

std::vector<std::string> problems_of(const Summary& s) {
    std::vector<std::string> problems;
    uint64_t dropped_by_diagnostic = 0;
    bool cut_off = false;
    for (const kovan_diagnostic& d : s.diagnostics) {
        if (d.kind == KOVAN_DIAG_NOT_FRD) {
            problems.push_back(kovan_diagnostic_description(d.kind));
            continue;
        }
        if (d.kind == KOVAN_DIAG_INCOMPLETE_BLOCK) {
            cut_off = true;
            problems.push_back("line " + std::to_string(d.line) + ": " + kovan_diagnostic_description(d.kind) + " (expected " +
                               std::to_string(d.expected) + " records, found " + std::to_string(d.found) + ")");
            continue;
        }
        problems.push_back("line " + std::to_string(d.line) + ": " + kovan_diagnostic_description(d.kind) + " (type " +
                           std::to_string(d.element_type) + ", expected " + std::to_string(d.expected) + ", found " +
                           std::to_string(d.found) + ")");
        if (d.kind != KOVAN_DIAG_SURPLUS_NODES) ++dropped_by_diagnostic;
    }
    // Elements the headers announce that are neither cells nor diagnosed
    // name nodes that no node block defines (in a file that ends where it
    // should: one cut off holds fewer than its headers announce).
    if (!cut_off && s.element_counts_stated && s.stated_elements > s.cells + dropped_by_diagnostic) {
        problems.push_back(std::to_string(s.stated_elements - s.cells - dropped_by_diagnostic) +
                           " elements name nodes that no node block defines and were dropped");
    }
    for (size_t i = 0; i < s.steps.size(); ++i) {
        const StepSummary& step = s.steps[i];
        if (!step.decoded) {
            problems.push_back("step " + std::to_string(i) + " does not decode: " + step.error);
        } else if (step.arrays.empty()) {
            problems.push_back("step " + std::to_string(i) + " has no result block that could be located");
        }
    }
    return problems;
}

}  // namespace

int run_check(const std::string& path, unsigned jobs) {
    OpenedInput input = open_input(path);
    if (input.exit_code != kExitOk) return input.exit_code;
    const Summary summary = summarise(path, input.size, input.headers, input.doc.get(), jobs);
    const std::vector<std::string> problems = problems_of(summary);
    for (const std::string& problem : problems) std::printf("%s: %s\n", path.c_str(), problem.c_str());
    if (problems.empty()) std::printf("%s: no problems found\n", path.c_str());
    return problems.empty() ? kExitOk : kExitProblems;
}

}  // namespace kovan_cli
