// Fuzz target: any bytes converted to every target. Converting what opens
// to binary double precision, or with target -1, is refused or reads back
// the same: points, cells, step times, arrays and their values to the bit.
#include <cstddef>
#include <cstdint>

#include "document_snapshot.h"
#include "kovan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (int32_t format = -1; format <= 3; ++format) {
        char* out = nullptr;
        uint64_t out_size = 0;
        const kovan_status status = kovan_rewrite_memory(data, size, format, &out, &out_size);
        if (status != KOVAN_OK && (out != nullptr || out_size != 0)) __builtin_trap();
        if (status == KOVAN_OK && out[out_size] != '\0') __builtin_trap();
        kovan_free(out);
    }
    for (const int32_t format : {-1, 3}) {
        if (!kovan_test::conversion_difference(data, size, format).empty()) __builtin_trap();
    }
    return 0;
}
