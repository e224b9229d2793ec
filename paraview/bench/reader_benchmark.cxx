// The reader's cost beside kovan's C interface on the same file, in one
// process: opening (RequestInformation against kovan_open), showing a step
// (RequestData against decoding the step through the C interface), and going
// back to a step already shown. Prints ratios of medians.
// Usage: kovan_paraview_benchmark FILE.frd [REPETITIONS]
#include <kovan.h>
#include <vtkFRDReader.h>
#include <vtkInformation.h>
#include <vtkNew.h>
#include <vtkStreamingDemandDrivenPipeline.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

double seconds_of(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Run {
    double open = 0, decode = 0;                    // the C interface
    double information = 0, show = 0, show_again = 0;  // the reader
    vtkIdType decoded_after_going_back = 0;
};

Run measure(const char* path) {
    Run run;
    kovan_open_options options{1, 0};
    kovan_document* doc = nullptr;
    kovan_status status = KOVAN_OK;
    run.open = seconds_of([&] { status = kovan_open_ex(path, &options, &doc); });
    if (status != KOVAN_OK || kovan_n_steps(doc) == 0) {
        std::fprintf(stderr, "%s: %s: %s\n", path, kovan_status_message(status), kovan_last_error(nullptr));
        std::exit(1);
    }
    uint64_t last = kovan_n_steps(doc) - 1, n_arrays = 0;
    run.decode = seconds_of([&] { kovan_n_arrays(doc, last, &n_arrays); });
    kovan_close(doc);

    vtkNew<vtkFRDReader> reader;
    reader->SetFileName(path);
    run.information = seconds_of([&] { reader->UpdateInformation(); });
    vtkInformation* info = reader->GetOutputInformation(0);
    const double* times = info->Get(vtkStreamingDemandDrivenPipeline::TIME_STEPS());
    int n_times = info->Length(vtkStreamingDemandDrivenPipeline::TIME_STEPS());
    run.show = seconds_of([&] { reader->UpdateTimeStep(times[n_times - 1]); });
    reader->UpdateTimeStep(times[0]);
    run.show_again = seconds_of([&] { reader->UpdateTimeStep(times[n_times - 1]); });
    run.decoded_after_going_back = reader->GetNumberOfDecodedSteps();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.frd [REPETITIONS]\n", argv[0]);
        return 2;
    }
    int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
    std::vector<double> information, show, show_again;
    vtkIdType decoded = 0;
    for (int i = 0; i < repetitions; ++i) {
        Run run = measure(argv[1]);
        information.push_back(run.information / run.open);
        show.push_back(run.show / run.decode);
        show_again.push_back(run.show_again / run.decode);
        decoded = std::max(decoded, run.decoded_after_going_back);
    }
    std::printf("RequestInformation / kovan_open:              %.3f (target <= 1.1)\n", median(information));
    std::printf("showing the last step / decoding it:          %.3f (target <= 1.2)\n", median(show));
    std::printf("showing it again after the first / decoding:  %.3f\n", median(show_again));
    std::printf("steps decoded after going back and forth:     %lld (2 shown)\n", static_cast<long long>(decoded));
    return 0;
}
