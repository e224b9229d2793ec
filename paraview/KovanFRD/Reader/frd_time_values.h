// The time values a pipeline sees for the steps of a document. Pipelines need
// strictly increasing times, and real files repeat theirs (modes of equal
// frequency, increments whose printed times collide, a static state and
// buckling factors both at 0), so a step index can stand in for the time.
#ifndef frd_time_values_h
#define frd_time_values_h

#include <cstddef>
#include <cstdint>
#include <vector>

enum FrdTimeMode { FRD_TIME_AUTO = 0, FRD_TIME_STEP_TIME = 1, FRD_TIME_STEP_INDEX = 2, FRD_TIME_MODE = 3 };

struct FrdTimeValues {
    std::vector<double> values;   // strictly increasing
    std::vector<uint64_t> steps;  // the step shown at each value
    bool by_step_time = false;
    uint64_t unreachable_steps = 0;  // steps without a value of their own (step times only)
};

// Auto takes the step times when they increase strictly, the indices otherwise.
// Step time keeps the first step of each repeated time and leaves NaN times out.
// Mode takes the steps' mode numbers (NaN where a step states none) when
// they increase strictly, as those of one modal analysis do, the indices
// otherwise (the modes of a cyclic model's nodal diameters repeat).
FrdTimeValues frd_time_values(const std::vector<double>& step_times, const std::vector<double>& step_modes, int mode);

// The position of the value shown at a requested time: the last value not
// after it, the first before every value (0 when there are none).
size_t frd_time_position(const FrdTimeValues& times, double requested);

#endif
