// The fields of FRD binary records, read by every reader of binary blocks.
#pragma once

#include <cstdint>

#include "frd/format.h"
#include "frd/little_endian.h"

namespace kovan {

// One real of a record: 64 bits in format 3, 32 bits (widened) in format 2.
inline double load_real(const char* p, int32_t format) {
    return format == kBinaryDouble ? load_f64_le(p) : load_f32_le(p);
}

struct BinaryNode {
    int64_t id;
    double x, y, z;
};

// A node record: the id, then x, y and z.
inline BinaryNode load_binary_node(const char* record, int32_t format) {
    const char* xyz = record + kBinaryIdBytes;
    const uint64_t real = binary_real_bytes(format);
    return {load_i32_le(record), load_real(xyz, format), load_real(xyz + real, format),
            load_real(xyz + 2 * real, format)};
}

}  // namespace kovan
