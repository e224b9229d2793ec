// VTK arrays that are views of a kovan document's storage: no values are
// copied. Each view keeps the document open until VTK releases the view's
// buffer, wherever in a pipeline the buffer has been passed on to.
#ifndef kovan_arrays_h
#define kovan_arrays_h

#include <kovan.h>

#include <vtkSmartPointer.h>
#include <vtkType.h>

#include <cstdint>
#include <memory>

class vtkDoubleArray;
class vtkTypeInt64Array;
class vtkUnsignedCharArray;

// An open document, closed when the last holder lets go.
using KovanDocument = std::shared_ptr<kovan_document>;

KovanDocument adopt_document(kovan_document* doc);

vtkSmartPointer<vtkDoubleArray> view_doubles(const KovanDocument& doc, const double* values, vtkIdType n_tuples,
                                             int n_components);
vtkSmartPointer<vtkTypeInt64Array> view_int64s(const KovanDocument& doc, const int64_t* values, vtkIdType n_values);
vtkSmartPointer<vtkUnsignedCharArray> view_bytes(const KovanDocument& doc, const uint8_t* values, vtkIdType n_values);

#endif
