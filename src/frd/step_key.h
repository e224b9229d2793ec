// What identifies a result step: its set number, where the "100" line gives
// one, and its time.
#pragma once

#include <cmath>
#include <cstdint>

namespace kovan {

struct StepKey {
    bool has_set_number = false;
    int64_t set_number = 0;
    double time = 0.0;
};

// Ascending times with every NaN equal to every other and after all numbers;
// 0.0 and -0.0 are the same time.
inline bool time_less(double a, double b) {
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

// Blocks without a set number group by time alone, apart from those with one.
struct StepKeyLess {
    bool operator()(const StepKey& a, const StepKey& b) const {
        if (a.has_set_number != b.has_set_number) return !a.has_set_number;
        if (a.has_set_number && a.set_number != b.set_number) return a.set_number < b.set_number;
        return time_less(a.time, b.time);
    }
};

}  // namespace kovan
