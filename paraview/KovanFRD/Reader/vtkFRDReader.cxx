#include "vtkFRDReader.h"

#include "frd_time_values.h"
#include "kovan_arrays.h"

#include <vtkCallbackCommand.h>
#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkDataArraySelection.h>
#include <vtkDoubleArray.h>
#include <vtkFieldData.h>
#include <vtkInformation.h>
#include <vtkInformationVector.h>
#include <vtkNew.h>
#include <vtkObjectFactory.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkStreamingDemandDrivenPipeline.h>
#include <vtkStringArray.h>
#include <vtkTypeInt32Array.h>
#include <vtkTypeInt64Array.h>
#include <vtkUnsignedCharArray.h>
#include <vtkUnstructuredGrid.h>

#include <kovan.h>

#include <filesystem>
#include <limits>
#include <fstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// What tells a file read before from one that has changed since.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool operator==(const FileStamp& other) const { return size == other.size && written == other.written; }
};

FileStamp stamp_of(const char* path) {
    std::error_code error;
    std::filesystem::path file = std::filesystem::u8path(path);
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    stamp.written = std::filesystem::last_write_time(file, error);
    return stamp;
}

// Whether the first bytes of a file can be the start of an FRD file, by
// kovan's own rule: opened as a text still being written, they carry no
// "not an FRD file" diagnostic.
bool starts_like_frd(const char* path) {
    constexpr std::streamsize kFirstBytes = 65536;
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    if (!file) return false;
    std::vector<char> bytes(kFirstBytes);
    file.read(bytes.data(), kFirstBytes);
    kovan_document* doc = nullptr;
    if (kovan_open_memory(bytes.data(), static_cast<uint64_t>(file.gcount()), nullptr, &doc) != KOVAN_OK) {
        return true;  // FRD that kovan refuses: opening it says why
    }
    bool frd = true;
    for (uint64_t i = 0; i < kovan_n_diagnostics(doc); ++i) {
        kovan_diagnostic d{};
        if (kovan_diagnostic_at(doc, i, &d) == KOVAN_OK && d.kind == KOVAN_DIAG_NOT_FRD) frd = false;
    }
    kovan_close(doc);
    return frd;
}

// The component names the file gives (kovan's where it gives none).
void name_components(kovan_document* doc, uint64_t step, uint64_t index, vtkDataArray* array) {
    for (int k = 0; k < array->GetNumberOfComponents(); ++k) {
        const char* name = nullptr;
        if (kovan_array_component_name(doc, step, index, static_cast<uint32_t>(k), &name) == KOVAN_OK) {
            array->SetComponentName(k, name);
        }
    }
}

template <class Array, class Value>
void add_field_value(vtkFieldData* fields, const char* name, Value value) {
    vtkNew<Array> array;
    array->SetName(name);
    array->InsertNextValue(value);
    fields->AddArray(array);
}

// What the file states of the step, as field data: only what it states.
void add_step_facts(vtkFieldData* fields, kovan_document* doc, uint64_t step) {
    kovan_step_info info{};
    if (kovan_step_info_at(doc, step, &info) != KOVAN_OK) return;
    const auto add_integer = [&](uint32_t flag, const char* name, int64_t value) {
        if ((info.flags & flag) != 0) add_field_value<vtkTypeInt64Array>(fields, name, static_cast<vtkTypeInt64>(value));
    };
    add_integer(KOVAN_STEP_HAS_SET_NUMBER, "SET_NUMBER", info.set_number);
    add_integer(KOVAN_STEP_HAS_STEP, "DATA_SET", info.data_set);
    add_integer(KOVAN_STEP_HAS_STEP, "INCREMENT", info.increment);
    add_integer(KOVAN_STEP_HAS_STEP, "STEP_NUMBER", info.step);
    add_integer(KOVAN_STEP_HAS_MODE, "MODE", info.mode);
    add_integer(KOVAN_STEP_HAS_NODAL_DIAMETER, "NODAL_DIAMETER", info.nodal_diameter);
    if (info.flags & KOVAN_STEP_HAS_GENERALISED_MASS) add_field_value<vtkDoubleArray>(fields, "GENERALISED_MASS", info.generalised_mass);
    if (info.flags & KOVAN_STEP_HAS_GENERALISED_STIFFNESS) {
        add_field_value<vtkDoubleArray>(fields, "GENERALISED_STIFFNESS", info.generalised_stiffness);
    }
    if (info.analysis >= 0) add_field_value<vtkTypeInt64Array>(fields, "ANALYSIS", static_cast<vtkTypeInt64>(info.analysis));
    if (info.analysis_text[0] != '\0') add_field_value<vtkStringArray>(fields, "ANALYSIS_TEXT", info.analysis_text);
    add_field_value<vtkStringArray>(fields, "VALUE_TEXT", info.value_text);
    add_field_value<vtkTypeInt64Array>(fields, "FILE_INDEX", static_cast<vtkTypeInt64>(info.file_index));
}

// The materials the file names, as two field arrays of one length.
void add_materials(vtkFieldData* fields, kovan_document* doc) {
    vtkNew<vtkTypeInt64Array> numbers;
    numbers->SetName("MATERIAL_NUMBERS");
    vtkNew<vtkStringArray> names;
    names->SetName("MATERIAL_NAMES");
    for (uint64_t i = 0; i < kovan_n_materials(doc); ++i) {
        int64_t number = 0;
        const char* name = nullptr;
        if (kovan_material_at(doc, i, &number, &name) != KOVAN_OK) continue;
        numbers->InsertNextValue(number);
        names->InsertNextValue(name);
    }
    fields->AddArray(numbers);
    fields->AddArray(names);
}

}  // namespace

struct vtkFRDReader::Internals {
    KovanDocument Document;
    std::string OpenedPath;
    int OpenedWedgeOrder = -1;
    uint32_t OpenedFlags = 0;
    FileStamp Stamp;
    bool ReloadRequested = false;
    std::vector<double> StepTimes;
    std::vector<double> StepModes;  // NaN where a step states no mode
    FrdTimeValues Times;
    vtkSmartPointer<vtkUnstructuredGrid> Mesh;
    vtkNew<vtkDataArraySelection> Selection;
    vtkNew<vtkCallbackCommand> SelectionObserver;
    bool ListingArrays = false;  // names the reader adds itself do not modify it
    // The steps whose arrays views are showing; each is let go when VTK
    // frees the last of them.
    std::unordered_map<uint64_t, std::weak_ptr<KovanStepHold>> ShownSteps;
};

vtkStandardNewMacro(vtkFRDReader);

vtkFRDReader::vtkFRDReader() : Internal(new Internals) {
    this->SetNumberOfInputPorts(0);
    this->Internal->SelectionObserver->SetClientData(this);
    this->Internal->SelectionObserver->SetCallback([](vtkObject*, unsigned long, void* reader, void*) {
        auto* self = static_cast<vtkFRDReader*>(reader);
        if (!self->Internal->ListingArrays) {
            self->Modified();
        }
    });
    this->Internal->Selection->AddObserver(vtkCommand::ModifiedEvent, this->Internal->SelectionObserver);
}

vtkFRDReader::~vtkFRDReader() {
    this->SetFileName(nullptr);
    delete this->Internal;
}

void vtkFRDReader::PrintSelf(ostream& os, vtkIndent indent) {
    this->Superclass::PrintSelf(os, indent);
    os << indent << "FileName: " << (this->FileName ? this->FileName : "(none)") << "\n";
    os << indent << "TimeMode: " << this->TimeMode << "\n";
    os << indent << "WedgeOrder: " << this->WedgeOrder << "\n";
    os << indent << "MissingAsNaN: " << this->MissingAsNaN << "\n";
    os << indent << "FileOrder: " << this->FileOrder << "\n";
}

vtkDataArraySelection* vtkFRDReader::GetPointDataArraySelection() { return this->Internal->Selection; }

int vtkFRDReader::GetNumberOfPointArrays() { return this->Internal->Selection->GetNumberOfArrays(); }

const char* vtkFRDReader::GetPointArrayName(int index) { return this->Internal->Selection->GetArrayName(index); }

int vtkFRDReader::GetPointArrayStatus(const char* name) { return this->Internal->Selection->ArrayIsEnabled(name); }

void vtkFRDReader::SetPointArrayStatus(const char* name, int status) {
    this->Internal->Selection->SetArraySetting(name, status);
}

void vtkFRDReader::Reload() {
    this->Internal->ReloadRequested = true;
    this->Modified();
}

vtkIdType vtkFRDReader::GetNumberOfDecodedSteps() {
    return static_cast<vtkIdType>(kovan_steps_parsed(this->Internal->Document.get()));
}

vtkIdType vtkFRDReader::GetNumberOfHeldSteps() {
    vtkIdType held = 0;
    for (const auto& shown : this->Internal->ShownSteps) held += shown.second.expired() ? 0 : 1;
    return held;
}

bool vtkFRDReader::OpenIfChanged(vtkDataObject* output) {
    Internals& in = *this->Internal;
    if (this->FileName == nullptr || this->FileName[0] == '\0') {
        vtkErrorMacro("no file name given");
        return false;
    }
    FileStamp stamp = stamp_of(this->FileName);
    const uint32_t flags = (this->MissingAsNaN ? uint32_t{KOVAN_OPEN_MISSING_AS_NAN} : 0u) |
                           (this->FileOrder ? uint32_t{KOVAN_OPEN_FILE_ORDER} : 0u);
    const bool same_reading = in.OpenedPath == this->FileName && in.OpenedWedgeOrder == this->WedgeOrder &&
                              in.OpenedFlags == flags;
    if (in.Document && !in.ReloadRequested && same_reading && in.Stamp == stamp) {
        return true;
    }
    in.ReloadRequested = false;
    if (in.OpenedPath != this->FileName) {
        in.ListingArrays = true;
        in.Selection->RemoveAllArrays();
        in.ListingArrays = false;
    }
    // The last output's views would keep the old document's memory while the
    // file is read again; views held further down the pipeline still do.
    if (output != nullptr) output->Initialize();
    // The same file, read before: only what it gained is read.
    KovanDocument before;
    if (in.Document && same_reading) {
        before = std::move(in.Document);
    }
    in.Document.reset();
    in.Mesh = nullptr;
    in.StepTimes.clear();
    in.StepModes.clear();
    in.ShownSteps.clear();

    kovan_open_options options{static_cast<uint32_t>(this->WedgeOrder), flags};
    kovan_document* doc = nullptr;
    this->UpdateProgress(0.0);
    kovan_status status = before ? kovan_reopen(before.get(), &doc) : kovan_open_ex(this->FileName, &options, &doc);
    before.reset();
    this->UpdateProgress(1.0);
    if (status != KOVAN_OK) {
        vtkErrorMacro(<< this->FileName << ": " << kovan_status_message(status) << ": " << kovan_last_error(nullptr));
        return false;
    }
    in.Document = adopt_document(doc);
    in.OpenedPath = this->FileName;
    in.OpenedWedgeOrder = this->WedgeOrder;
    in.OpenedFlags = flags;
    in.Stamp = stamp;
    in.StepTimes.resize(kovan_n_steps(doc));
    in.StepModes.assign(in.StepTimes.size(), std::numeric_limits<double>::quiet_NaN());
    for (uint64_t step = 0; step < in.StepTimes.size(); ++step) {
        kovan_step_time(doc, step, &in.StepTimes[step]);
        kovan_step_info info{};
        if (kovan_step_info_at(doc, step, &info) == KOVAN_OK && (info.flags & KOVAN_STEP_HAS_MODE) != 0) {
            in.StepModes[step] = static_cast<double>(info.mode);
        }
    }
    if (!this->ReportDiagnostics()) {
        in.Document.reset();
        in.OpenedPath.clear();
        return false;
    }
    return true;
}

int vtkFRDReader::CanReadFile(const char* name) {
    return name != nullptr && starts_like_frd(name) ? 1 : 0;
}

// One warning per kind of diagnostic: a damaged file can hold thousands. A
// text that is no FRD file is an error: there is nothing to show.
bool vtkFRDReader::ReportDiagnostics() {
    kovan_document* doc = this->Internal->Document.get();
    uint64_t n = kovan_n_diagnostics(doc);
    for (int32_t kind = KOVAN_DIAG_SURPLUS_NODES; kind <= KOVAN_DIAG_NOT_FRD; ++kind) {
        uint64_t count = 0;
        kovan_diagnostic first{};
        for (uint64_t i = 0; i < n; ++i) {
            kovan_diagnostic d{};
            if (kovan_diagnostic_at(doc, i, &d) == KOVAN_OK && d.kind == kind && count++ == 0) {
                first = d;
            }
        }
        if (count == 0) {
            continue;
        }
        if (kind == KOVAN_DIAG_NOT_FRD) {
            vtkErrorMacro(<< this->FileName << ": " << kovan_diagnostic_description(kind));
            return false;
        }
        vtkWarningMacro(<< this->FileName << ": " << kovan_diagnostic_description(kind) << " (" << count
                        << (count == 1 ? " time" : " times") << "; the first at line " << first.line << ", expected "
                        << first.expected << ", found " << first.found << ")");
    }
    return true;
}

// Points, cells and the FRD numbers, as views of the document: built once per
// reading of the file and shared by the outputs of every step.
void vtkFRDReader::BuildMesh() {
    const KovanDocument& doc = this->Internal->Document;
    auto n_points = static_cast<vtkIdType>(kovan_n_points(doc.get()));
    auto n_cells = static_cast<vtkIdType>(kovan_n_cells(doc.get()));
    const int64_t* offsets = kovan_cell_offsets(doc.get());

    vtkNew<vtkPoints> points;
    points->SetData(view_doubles(doc, kovan_points(doc.get()), n_points, 3));
    vtkNew<vtkCellArray> cells;  // holds the one offset of no cells until given some
    if (n_cells > 0) {
        auto n_connectivity = static_cast<vtkIdType>(offsets[n_cells]);
        cells->SetData(view_int64s(doc, offsets, n_cells + 1),
                       view_int64s(doc, kovan_cell_connectivity(doc.get()), n_connectivity));
    }

    auto mesh = vtkSmartPointer<vtkUnstructuredGrid>::New();
    mesh->SetPoints(points);
    mesh->SetCells(view_bytes(doc, kovan_cell_types(doc.get()), n_cells), cells);
    auto node_ids = view_int64s(doc, kovan_node_ids(doc.get()), n_points);
    node_ids->SetName("NODE_ID");
    mesh->GetPointData()->AddArray(node_ids);
    auto cell_ids = view_int64s(doc, kovan_cell_ids(doc.get()), n_cells);
    cell_ids->SetName("ELEMENT_ID");
    mesh->GetCellData()->AddArray(cell_ids);
    auto groups = view_int32s(doc, kovan_cell_groups(doc.get()), n_cells);
    groups->SetName("GROUP");
    mesh->GetCellData()->AddArray(groups);
    auto materials = view_int32s(doc, kovan_cell_materials(doc.get()), n_cells);
    materials->SetName("MATERIAL");
    mesh->GetCellData()->AddArray(materials);
    add_materials(mesh->GetFieldData(), doc.get());
    this->Internal->Mesh = mesh;
}

int vtkFRDReader::RequestInformation(vtkInformation*, vtkInformationVector**, vtkInformationVector* outputVector) {
    vtkInformation* info = outputVector->GetInformationObject(0);
    info->Remove(vtkStreamingDemandDrivenPipeline::TIME_STEPS());
    info->Remove(vtkStreamingDemandDrivenPipeline::TIME_RANGE());
    if (!this->OpenIfChanged(vtkDataObject::GetData(info))) {
        return 0;
    }
    Internals& in = *this->Internal;
    in.Times = frd_time_values(in.StepTimes, in.StepModes, this->TimeMode);
    if (in.Times.unreachable_steps > 0) {
        vtkWarningMacro(<< this->FileName << ": " << in.Times.unreachable_steps
                        << " steps repeat an earlier step's time or have none, and cannot be shown by "
                           "step time: choose the step index as time");
    }
    const std::vector<double>& values = in.Times.values;
    if (!values.empty()) {
        info->Set(vtkStreamingDemandDrivenPipeline::TIME_STEPS(), values.data(), static_cast<int>(values.size()));
        double range[2] = {values.front(), values.back()};
        info->Set(vtkStreamingDemandDrivenPipeline::TIME_RANGE(), range, 2);
    }
    return 1;
}

bool vtkFRDReader::AddStepArrays(vtkUnstructuredGrid* output, const KovanStep& held) {
    Internals& in = *this->Internal;
    const uint64_t step = held->step;
    kovan_document* doc = in.Document.get();
    uint64_t n_arrays = 0;
    kovan_status status = kovan_n_arrays(doc, step, &n_arrays);
    std::vector<kovan_array_info> arrays(n_arrays);
    if (status == KOVAN_OK) {
        status = kovan_array_info_range(doc, step, 0, n_arrays, arrays.data());
    }
    if (status != KOVAN_OK) {
        vtkErrorMacro(<< this->FileName << ": step " << step << " (time " << in.StepTimes[step]
                      << ") cannot be shown: " << kovan_status_message(status) << ": " << kovan_last_error(nullptr));
        return false;
    }
    in.ListingArrays = true;
    for (const kovan_array_info& array : arrays) {
        in.Selection->AddArray(array.name);
    }
    in.ListingArrays = false;

    std::unordered_set<std::string> shown;  // the first array of a name answers to it
    for (uint64_t i = 0; i < n_arrays; ++i) {
        const kovan_array_info& array = arrays[i];
        const double* values = nullptr;
        if (!in.Selection->ArrayIsEnabled(array.name) || !shown.insert(array.name).second) {
            continue;
        }
        status = kovan_array_data(doc, step, i, &values);
        if (status != KOVAN_OK) {
            vtkErrorMacro(<< this->FileName << ": array " << array.name << " of step " << step
                          << " cannot be read: " << kovan_status_message(status) << ": " << kovan_last_error(nullptr));
            return false;
        }
        auto view = view_step_doubles(held, values, static_cast<vtkIdType>(array.n_tuples),
                                      static_cast<int>(array.n_components));
        view->SetName(array.name);
        name_components(doc, step, i, view);
        output->GetPointData()->AddArray(view);
    }
    return true;
}

int vtkFRDReader::RequestData(vtkInformation*, vtkInformationVector**, vtkInformationVector* outputVector) {
    Internals& in = *this->Internal;
    if (!in.Document) {
        return 0;  // the failure to open has been reported
    }
    if (!in.Mesh) {
        this->BuildMesh();
    }
    vtkInformation* info = outputVector->GetInformationObject(0);
    vtkUnstructuredGrid* output = vtkUnstructuredGrid::GetData(info);
    if (in.StepTimes.empty()) {
        output->ShallowCopy(in.Mesh);
        return 1;
    }

    const std::vector<double>& values = in.Times.values;
    double requested = values.empty() ? 0.0 : values.front();
    if (info->Has(vtkStreamingDemandDrivenPipeline::UPDATE_TIME_STEP())) {
        requested = info->Get(vtkStreamingDemandDrivenPipeline::UPDATE_TIME_STEP());
    }
    size_t position = frd_time_position(in.Times, requested);
    uint64_t step = in.Times.steps.empty() ? 0 : in.Times.steps[position];
    // Held before the last output's arrays go: a step shown again is not
    // let go and decoded anew in between.
    KovanStep held = in.ShownSteps[step].lock();
    if (!held) {
        held = hold_step(in.Document, step);
        in.ShownSteps[step] = held;
    }
    output->ShallowCopy(in.Mesh);
    if (!values.empty()) {
        output->GetInformation()->Set(vtkDataObject::DATA_TIME_STEP(), values[position]);
    }
    add_field_value<vtkDoubleArray>(output->GetFieldData(), "TIME", in.StepTimes[step]);
    add_field_value<vtkTypeInt64Array>(output->GetFieldData(), "STEP", static_cast<vtkTypeInt64>(step));
    add_step_facts(output->GetFieldData(), in.Document.get(), step);
    this->UpdateProgress(0.0);
    const bool added = this->AddStepArrays(output, held);
    this->UpdateProgress(1.0);
    return added ? 1 : 0;
}
