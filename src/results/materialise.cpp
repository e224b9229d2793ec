#include "results/materialise.h"

#include <memory>
#include <mutex>

#include "support/failure_text.h"
#include "results/step_decoder.h"
#include "results/step_slot.h"

namespace kovan {

std::atomic<void (*)(uint64_t step)> on_decode_start{nullptr};

namespace {

// The step's slot, made and counted on the first call for the step. Slots
// live until the document is closed, so the reference outlives the lock.
StepSlot& slot_of(Document& doc, uint64_t step) {
    std::lock_guard<std::mutex> hold(doc.lock);
    std::shared_ptr<StepSlot>& slot = doc.step_slots[step];
    if (!slot) {
        slot = std::make_shared<StepSlot>();
        doc.steps_parsed.fetch_add(1);
    }
    return *slot;
}

void decode_once(Document& doc, uint64_t step, StepSlot& slot) {
    std::lock_guard<std::mutex> hold(slot.decoding);
    if (slot.ready.load(std::memory_order_acquire)) return;  // another thread decoded it meanwhile
    if (auto hook = on_decode_start.load()) hook(step);
    // A decode cut short by an exception left nothing that was handed out;
    // start again from empty.
    slot.results = StepResults();
    decode_step(doc, step, slot.results);
    slot.ready.store(true, std::memory_order_release);
}

}  // namespace

const StepResults* materialise(Document& doc, uint64_t step) {
    if (step >= doc.steps.size()) return nullptr;
    StepSlot& slot = slot_of(doc, step);
    if (!slot.ready.load(std::memory_order_acquire)) decode_once(doc, step, slot);
    if (slot.results.status != KOVAN_OK) {
        // The step's own text, which lives as long as the document, published
        // whole; the thread's slot gets it too, as it gets every failure's.
        doc.last_error.store(slot.results.error.c_str(), std::memory_order_release);
        set_thread_error(slot.results.error);
        return nullptr;
    }
    return &slot.results;
}

}  // namespace kovan
