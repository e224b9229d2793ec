// The arrays a step will have, told from its located blocks without
// decoding it: what a reader lists before it reads any values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/document.h"

namespace kovan {

struct PlannedArray {
    std::string name;
    uint32_t n_components = 0;  // 0 where the block states no count (an ASCII block without "-5" lines)
    uint32_t derived = 0;
    std::vector<std::string> component_names;
};

// One array per distinct block name, at the place of its first block, with
// the last block's components (as decoding lays them), each stress or strain
// tensor followed by its derived arrays. A block's components are those it
// stores (binary) or its "-5" lines name (ASCII); records that hold another
// count, or none, make the decoded step differ from its plan.
struct StepPlan {
    std::vector<PlannedArray> arrays;
};

StepPlan plan_step(const Document& doc, const StepEntry& step);

// The step's plan, made on first use and kept until the document is closed
// (its names are handed out).
std::shared_ptr<const StepPlan> step_plan(Document& doc, uint64_t step);

}  // namespace kovan
