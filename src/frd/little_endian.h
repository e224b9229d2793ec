// Little-endian values of FRD binary records, read from unaligned bytes.
#pragma once

#include <cstdint>
#include <cstring>

namespace kovan {

inline uint32_t load_u32_le(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

inline int64_t load_i32_le(const char* p) {
    return static_cast<int32_t>(load_u32_le(p));
}

inline double load_f32_le(const char* p) {
    const uint32_t bits = load_u32_le(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline double load_f64_le(const char* p) {
    const uint64_t bits = static_cast<uint64_t>(load_u32_le(p)) |
                          static_cast<uint64_t>(load_u32_le(p + 4)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Whether `count` records of `record_bytes` each fit into `available` bytes,
// without the product overflowing; a negative count never fits.
inline bool records_fit(int64_t count, uint64_t record_bytes, uint64_t available) {
    if (count < 0) return false;
    if (record_bytes == 0) return true;
    return static_cast<uint64_t>(count) <= available / record_bytes;
}

}  // namespace kovan
