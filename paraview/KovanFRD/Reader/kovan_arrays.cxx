#include "kovan_arrays.h"

#include <vtkDoubleArray.h>
#include <vtkTypeInt32Array.h>
#include <vtkTypeInt64Array.h>
#include <vtkUnsignedCharArray.h>

#include <memory>
#include <mutex>
#include <type_traits>
#include <unordered_map>

namespace {

// VTK frees a buffer through a plain function of its address, so the
// documents (or steps) behind live views are found by address. One address
// may be viewed by several buffers (a step shown twice); each holds one
// entry. An address cannot be reused by another document or step while an
// entry holds the first.
struct ViewRegistry {
    std::mutex mutex;
    std::unordered_multimap<const void*, std::shared_ptr<void>> documents;
};

// Never destroyed: VTK may release buffers while the process exits, after
// the destructors of this library's statics have run.
ViewRegistry& view_registry() {
    static ViewRegistry* registry = new ViewRegistry;
    return *registry;
}

void hold_document(const void* address, std::shared_ptr<void> doc) {
    ViewRegistry& registry = view_registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.documents.emplace(address, std::move(doc));
}

void release_view(void* address) {
    std::shared_ptr<void> released;  // closed or released, if it was the last holder, after the lock is let go
    ViewRegistry& registry = view_registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto entry = registry.documents.find(address);
    if (entry == registry.documents.end()) return;
    released = std::move(entry->second);
    registry.documents.erase(entry);
}

template <class Array, class Value>
vtkSmartPointer<Array> view_of(std::shared_ptr<void> doc, const Value* values, vtkIdType n_tuples, int n_components) {
    using Stored = typename Array::ValueType;
    static_assert(sizeof(Stored) == sizeof(Value) && std::is_integral<Stored>::value == std::is_integral<Value>::value,
                  "a view reads the document's values as they are stored");
    auto array = vtkSmartPointer<Array>::New();
    array->SetNumberOfComponents(n_components);
    if (values == nullptr || n_tuples == 0) return array;
    hold_document(values, std::move(doc));
    // VTK's arrays are writable in type only: nothing in a pipeline writes
    // to the arrays of its input.
    auto* stored = reinterpret_cast<Stored*>(const_cast<Value*>(values));
    array->SetArray(stored, n_tuples * n_components, 0, vtkAbstractArray::VTK_DATA_ARRAY_USER_DEFINED);
    array->SetArrayFreeFunction(&release_view);
    return array;
}

}  // namespace

KovanDocument adopt_document(kovan_document* doc) { return KovanDocument(doc, &kovan_close); }

KovanStepHold::~KovanStepHold() {
    if (document) kovan_release_step(document.get(), step);
}

KovanStep hold_step(const KovanDocument& doc, uint64_t step) {
    auto held = std::make_shared<KovanStepHold>();
    held->document = doc;
    held->step = step;
    return held;
}

vtkSmartPointer<vtkDoubleArray> view_step_doubles(const KovanStep& step, const double* values, vtkIdType n_tuples,
                                                  int n_components) {
    return view_of<vtkDoubleArray>(step, values, n_tuples, n_components);
}

vtkSmartPointer<vtkDoubleArray> view_doubles(const KovanDocument& doc, const double* values, vtkIdType n_tuples,
                                             int n_components) {
    return view_of<vtkDoubleArray>(doc, values, n_tuples, n_components);
}

vtkSmartPointer<vtkTypeInt64Array> view_int64s(const KovanDocument& doc, const int64_t* values, vtkIdType n_values) {
    return view_of<vtkTypeInt64Array>(doc, values, n_values, 1);
}

vtkSmartPointer<vtkTypeInt32Array> view_int32s(const KovanDocument& doc, const int32_t* values, vtkIdType n_values) {
    return view_of<vtkTypeInt32Array>(doc, values, n_values, 1);
}

vtkSmartPointer<vtkUnsignedCharArray> view_bytes(const KovanDocument& doc, const uint8_t* values, vtkIdType n_values) {
    return view_of<vtkUnsignedCharArray>(doc, values, n_values, 1);
}
