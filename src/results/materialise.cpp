#include "results/materialise.h"

#include <mutex>

#include "results/step_decoder.h"

namespace kovan {

const StepResults* materialise(Document& doc, uint64_t step) {
    if (step >= doc.steps.size()) return nullptr;
    std::lock_guard<std::mutex> hold(doc.lock);
    std::shared_ptr<StepResults>& slot = doc.step_results[step];
    if (!slot) {
        slot = std::make_shared<StepResults>();
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
        // The step's own text, which lives as long as the document.
        doc.last_error.store(slot->error.c_str(), std::memory_order_release);
        return nullptr;
    }
    return slot.get();
}

}  // namespace kovan
