#include "frd/processor.h"

namespace kovan {

bool processor_runs_avx2() {
#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__) && !defined(_WIN32)
    static const bool runs = __builtin_cpu_supports("avx2");
    return runs;
#else
    return false;
#endif
}

}  // namespace kovan
