#include "results/materialise.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "results/step_decoder.h"
#include "results/step_slot.h"
#include "support/failure_text.h"

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

// Decoded results whose arrays go to the document's pool when the last
// holder lets them go.
std::shared_ptr<const StepResults> pooled(Document& doc, StepResults&& results) {
    std::shared_ptr<ArrayPool> pool = doc.pool;
    return std::shared_ptr<const StepResults>(new StepResults(std::move(results)), [pool](const StepResults* done) {
        std::vector<std::vector<double>> buffers;
        for (ResultArray& array : const_cast<StepResults*>(done)->arrays) buffers.push_back(std::move(array.values));
        delete done;
        give_back(*pool, std::move(buffers));
    });
}

// The document's copy of a failure text, which lives as long as the
// document: its last error points to it.
const char* kept_text(Document& doc, const std::string& text) {
    std::lock_guard<std::mutex> hold(doc.lock);
    for (const std::unique_ptr<std::string>& kept : doc.failure_texts) {
        if (*kept == text) return kept->c_str();
    }
    doc.failure_texts.push_back(std::make_unique<std::string>(text));
    return doc.failure_texts.back()->c_str();
}

}  // namespace

std::shared_ptr<const StepResults> materialise(Document& doc, uint64_t step, kovan_status& status) {
    status = KOVAN_OK;
    if (step >= doc.steps.size()) return nullptr;
    StepSlot& slot = slot_of(doc, step);
    std::shared_ptr<const StepResults> results;
    {
        std::lock_guard<std::mutex> hold(slot.lock);
        if (!slot.results) {
            if (auto hook = on_decode_start.load()) hook(step);
            StepResults decoded;
            decode_step(doc, step, decoded);
            results = pooled(doc, std::move(decoded));
            // Bytes that could not be read, or changed, may read again.
            if (results->status != KOVAN_ERR_IO) slot.results = results;
        } else {
            results = slot.results;
        }
    }
    if (results->status != KOVAN_OK) {
        status = static_cast<kovan_status>(results->status);
        // Published whole; the thread's slot gets it too, as it gets every failure's.
        doc.last_error.store(kept_text(doc, results->error), std::memory_order_release);
        set_thread_error(results->error);
        return nullptr;
    }
    return results;
}

void release_step(Document& doc, uint64_t step) {
    std::shared_ptr<StepSlot> slot;
    {
        std::lock_guard<std::mutex> hold(doc.lock);
        slot = doc.step_slots[step];
    }
    if (!slot) return;
    std::shared_ptr<const StepResults> released;
    std::lock_guard<std::mutex> hold(slot->lock);
    released.swap(slot->results);  // freed here, or by the last query that still holds it
}

}  // namespace kovan
