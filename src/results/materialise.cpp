#include "results/materialise.h"

#include <mutex>

#include "results/step_decoder.h"

namespace kovan {

const StepResults* materialise(Document& doc, uint64_t step) {
    if (step >= doc.steps.size()) return nullptr;
    std::lock_guard<std::mutex> hold(doc.lock);
    std::unique_ptr<StepResults>& slot = doc.step_results[step];
    if (!slot) {
        slot = std::make_unique<StepResults>();
        doc.steps_parsed.fetch_add(1);
    }
    if (!slot->complete) {
        // A decode cut short by an exception left nothing that was handed
        // out; start again from empty, without counting the step twice.
        *slot = StepResults();
        decode_step(doc, step, *slot);
        slot->complete = true;
    }
    if (slot->status != KOVAN_OK) {
        doc.last_error = slot->error;
        return nullptr;
    }
    return slot.get();
}

}  // namespace kovan
