/**
 * @class vtkFRDReader
 * @brief Reads CalculiX FRD result files (ASCII and binary) through kovan.
 *
 * The mesh and the step index are read when the pipeline asks for its
 * information; a step's results are decoded when the step is shown, and let
 * go once no output shows them any more (VTK freed the last view of its
 * arrays). The mesh is built once and shared by the outputs of every step;
 * points, cells and arrays are views of kovan's storage, not copies.
 *
 * Output: an unstructured grid with point data NODE_ID and cell data
 * ELEMENT_ID (the FRD numbers), GROUP and MATERIAL (the numbers each element
 * record states), the step's arrays as point data with the file's component
 * names (derived stress and strain arrays included, those switched off in the
 * point array selection left out), and field data TIME (the step's own time),
 * STEP (its index), what the file states of the step (ANALYSIS,
 * ANALYSIS_TEXT, VALUE_TEXT, SET_NUMBER, DATA_SET, INCREMENT, STEP_NUMBER,
 * MODE, NODAL_DIAMETER, GENERALISED_MASS, GENERALISED_STIFFNESS, FILE_INDEX)
 * and MATERIAL_NUMBERS with MATERIAL_NAMES.
 *
 * A file that has grown or changed on disk is read again on the next update
 * after Reload() or after the reader is modified: of a file that only grew,
 * only what it gained is read. Blocks that the end of the file cuts off (a
 * solver still writing) are left out, with a warning.
 */

#ifndef vtkFRDReader_h
#define vtkFRDReader_h

#include "KovanFRDReaderModule.h"  // for export macro
#include "vtkUnstructuredGridAlgorithm.h"

#include <memory>

class vtkDataArraySelection;

class KOVANFRDREADER_EXPORT vtkFRDReader : public vtkUnstructuredGridAlgorithm {
public:
    static vtkFRDReader* New();
    vtkTypeMacro(vtkFRDReader, vtkUnstructuredGridAlgorithm);
    void PrintSelf(ostream& os, vtkIndent indent) override;

    /** The FRD file to read. */
    vtkSetFilePathMacro(FileName);
    vtkGetFilePathMacro(FileName);

    enum TimeModes {
        TIME_MODE_AUTO = 0,       // step times when they increase strictly, step indices otherwise
        TIME_MODE_STEP_TIME = 1,  // step times; a repeated time shows its first step only
        TIME_MODE_STEP_INDEX = 2, // 0, 1, 2, ... per step
        TIME_MODE_MODE = 3        // mode numbers of modal steps when they increase strictly, step indices otherwise
    };
    /** What the pipeline's time values are (default TIME_MODE_AUTO). */
    vtkSetClampMacro(TimeMode, int, TIME_MODE_AUTO, TIME_MODE_MODE);
    vtkGetMacro(TimeMode, int);

    /**
     * 1 (default): wedges turned to VTK's orientation, so
     * that every cell has positive volume; 0: FRD's node order kept.
     */
    vtkSetClampMacro(WedgeOrder, int, 0, 1);
    vtkGetMacro(WedgeOrder, int);

    /**
     * 1 (default): points a result block gives no value (results written
     * for a node set) read NaN, and show as such; 0: they read 0.
     */
    vtkSetClampMacro(MissingAsNaN, int, 0, 1);
    vtkGetMacro(MissingAsNaN, int);

    /** 1: steps in the order the file names them; 0 (default): by time. */
    vtkSetClampMacro(FileOrder, int, 0, 1);
    vtkGetMacro(FileOrder, int);

    /**
     * The point arrays that go to the output. Names appear as the steps that
     * hold them are decoded, new names switched on; they are kept when the
     * same file is read again and forgotten when another file is named.
     */
    vtkDataArraySelection* GetPointDataArraySelection();
    int GetNumberOfPointArrays();
    const char* GetPointArrayName(int index);
    int GetPointArrayStatus(const char* name);
    void SetPointArrayStatus(const char* name, int status);

    /** Reads the file again on the next update (new steps of a growing file). */
    void Reload();

    /**
     * 1 when the file's first bytes can begin an FRD file (kovan finds an FRD
     * line in them, or they are too few to tell), 0 otherwise: ParaView asks
     * before it chooses this reader for a file.
     */
    int CanReadFile(const char* name);

    /** Steps decoded since the file was last read (kovan_steps_parsed). */
    vtkIdType GetNumberOfDecodedSteps();

    /** Steps held decoded because views of their arrays are alive somewhere. */
    vtkIdType GetNumberOfHeldSteps();

protected:
    vtkFRDReader();
    ~vtkFRDReader() override;

    int RequestInformation(vtkInformation*, vtkInformationVector**, vtkInformationVector*) override;
    int RequestData(vtkInformation*, vtkInformationVector**, vtkInformationVector*) override;

    char* FileName = nullptr;
    int TimeMode = TIME_MODE_AUTO;
    int WedgeOrder = 1;
    int MissingAsNaN = 1;
    int FileOrder = 0;

private:
    vtkFRDReader(const vtkFRDReader&) = delete;
    void operator=(const vtkFRDReader&) = delete;

    bool OpenIfChanged(vtkDataObject* output);
    bool ReportDiagnostics();
    void BuildMesh();
    bool AddStepArrays(vtkUnstructuredGrid* output, const std::shared_ptr<struct KovanStepHold>& step);

    struct Internals;
    Internals* Internal;
};

#endif
