#include "frd_time_values.h"

#include <algorithm>
#include <cmath>

namespace {

bool increase_strictly(const std::vector<double>& times) {
    for (size_t i = 1; i < times.size(); ++i) {
        if (!(times[i - 1] < times[i])) return false;  // NaN fails too
    }
    return times.empty() || !std::isnan(times.front());
}

FrdTimeValues by_index(size_t n_steps) {
    FrdTimeValues times;
    for (size_t step = 0; step < n_steps; ++step) {
        times.values.push_back(static_cast<double>(step));
        times.steps.push_back(step);
    }
    return times;
}

FrdTimeValues by_step_time(const std::vector<double>& step_times) {
    FrdTimeValues times;
    times.by_step_time = true;
    for (size_t step = 0; step < step_times.size(); ++step) {
        double time = step_times[step];
        if (std::isnan(time) || (!times.values.empty() && !(times.values.back() < time))) {
            ++times.unreachable_steps;
            continue;
        }
        times.values.push_back(time);
        times.steps.push_back(step);
    }
    return times;
}

}  // namespace

FrdTimeValues frd_time_values(const std::vector<double>& step_times, const std::vector<double>& step_modes, int mode) {
    if (mode == FRD_TIME_MODE) {
        return increase_strictly(step_modes) ? by_step_time(step_modes) : by_index(step_modes.size());
    }
    bool use_times = mode == FRD_TIME_STEP_TIME || (mode == FRD_TIME_AUTO && increase_strictly(step_times));
    return use_times ? by_step_time(step_times) : by_index(step_times.size());
}

size_t frd_time_position(const FrdTimeValues& times, double requested) {
    auto after = std::upper_bound(times.values.begin(), times.values.end(), requested);
    return after == times.values.begin() ? 0 : static_cast<size_t>(after - times.values.begin()) - 1;
}
