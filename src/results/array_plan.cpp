#include "results/array_plan.h"

#include <mutex>
#include <unordered_map>

#include "results/component_names.h"
#include "results/derived_quantities.h"

namespace kovan {
namespace {

PlannedArray planned_block(const Document& doc, const BlockRef& ref) {
    const std::vector<std::string>& stated = doc.component_names[ref.names];
    const auto n = static_cast<uint32_t>(ref.format == 1 ? stated.size() : static_cast<size_t>(ref.components));
    PlannedArray array{ref.name, n, 0, {}};
    if (n > 0) array.component_names = component_names_for(stated, n);
    return array;
}

}  // namespace

StepPlan plan_step(const Document& doc, const StepEntry& step) {
    std::vector<PlannedArray> blocks;
    std::unordered_map<std::string, size_t> position;
    for (const BlockRef& ref : step.blocks) {
        const auto [it, inserted] = position.try_emplace(ref.name, blocks.size());
        if (inserted) {
            blocks.push_back(planned_block(doc, ref));
        } else {
            blocks[it->second] = planned_block(doc, ref);
        }
    }
    StepPlan plan;
    for (PlannedArray& array : blocks) {
        plan.arrays.push_back(array);
        if (!derived_tensor_kind(array.name, array.n_components)) continue;
        for (const char* quantity : kDerivedQuantities) {
            plan.arrays.push_back(PlannedArray{array.name + "_" + quantity, 1, 1, {quantity}});
        }
    }
    return plan;
}

std::shared_ptr<const StepPlan> step_plan(Document& doc, uint64_t step) {
    std::lock_guard<std::mutex> hold(doc.lock);
    if (doc.step_plans.size() != doc.steps.size()) doc.step_plans.resize(doc.steps.size());
    std::shared_ptr<const StepPlan>& plan = doc.step_plans[step];
    if (!plan) plan = std::make_shared<const StepPlan>(plan_step(doc, doc.steps[step]));
    return plan;
}

}  // namespace kovan
