// VTK arrays that are views of a kovan document's storage: no values are
// copied. Each view keeps the document open until VTK releases the view's
// buffer, wherever in a pipeline the buffer has been passed on to; a view of
// a step's array keeps the step decoded, and the step is let go
// (kovan_release_step) when VTK releases the last view of its arrays.
#ifndef kovan_arrays_h
#define kovan_arrays_h

#include <kovan.h>

#include <vtkSmartPointer.h>
#include <vtkType.h>

#include <cstdint>
#include <memory>

class vtkDoubleArray;
class vtkTypeInt32Array;
class vtkTypeInt64Array;
class vtkUnsignedCharArray;

// An open document, closed when the last holder lets go.
using KovanDocument = std::shared_ptr<kovan_document>;

KovanDocument adopt_document(kovan_document* doc);

// A decoded step, held by the views of its arrays; released when the last
// holder lets go.
struct KovanStepHold {
    KovanDocument document;
    uint64_t step = 0;
    ~KovanStepHold();
};
using KovanStep = std::shared_ptr<KovanStepHold>;

KovanStep hold_step(const KovanDocument& doc, uint64_t step);

vtkSmartPointer<vtkDoubleArray> view_doubles(const KovanDocument& doc, const double* values, vtkIdType n_tuples,
                                             int n_components);
// The values of one of the step's arrays.
vtkSmartPointer<vtkDoubleArray> view_step_doubles(const KovanStep& step, const double* values, vtkIdType n_tuples,
                                                  int n_components);
vtkSmartPointer<vtkTypeInt64Array> view_int64s(const KovanDocument& doc, const int64_t* values, vtkIdType n_values);
vtkSmartPointer<vtkTypeInt32Array> view_int32s(const KovanDocument& doc, const int32_t* values, vtkIdType n_values);
vtkSmartPointer<vtkUnsignedCharArray> view_bytes(const KovanDocument& doc, const uint8_t* values, vtkIdType n_values);

#endif
