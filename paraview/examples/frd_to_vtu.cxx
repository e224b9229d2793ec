// Writes every step of an FRD file as a .vtu file, with vtkFRDReader in a
// plain VTK pipeline: frd_to_vtu RESULT.frd OUT_PREFIX
#include <vtkFRDReader.h>
#include <vtkInformation.h>
#include <vtkNew.h>
#include <vtkStreamingDemandDrivenPipeline.h>
#include <vtkUnstructuredGrid.h>
#include <vtkXMLUnstructuredGridWriter.h>

#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "usage: frd_to_vtu RESULT.frd OUT_PREFIX\n";
        return 2;
    }
    vtkNew<vtkFRDReader> reader;
    reader->SetFileName(argv[1]);
    reader->UpdateInformation();
    vtkInformation* info = reader->GetOutputInformation(0);
    int n_times = info->Length(vtkStreamingDemandDrivenPipeline::TIME_STEPS());
    const double* times = info->Get(vtkStreamingDemandDrivenPipeline::TIME_STEPS());

    vtkNew<vtkXMLUnstructuredGridWriter> writer;
    writer->SetInputConnection(reader->GetOutputPort());
    for (int i = 0; i < n_times; ++i) {
        // Each step is decoded when the writer asks for its time.
        writer->UpdateTimeStep(times[i]);
        std::string name = std::string(argv[2]) + "_" + std::to_string(i) + ".vtu";
        writer->SetFileName(name.c_str());
        if (writer->Write() != 1) {
            std::cerr << name << ": could not be written\n";
            return 1;
        }
    }
    std::cout << "wrote " << n_times << " steps of " << reader->GetOutput()->GetNumberOfPoints() << " points\n";
    return 0;
}
