// Constants of the CalculiX FRD format shared by every reader and writer.
#pragma once

#include <cstdint>

namespace kovan {

// Format code: the last field of a "2C", "3C" or "100C" header line.
enum FormatCode : int32_t {
    kAsciiShort = 0,   // 5-column integers, 12-column reals
    kAsciiLong = 1,    // 10-column integers, 12-column reals
    kBinaryFloat = 2,  // little-endian records, 32-bit reals
    kBinaryDouble = 3  // little-endian records, 64-bit reals
};

inline bool is_binary(int32_t format) { return format == kBinaryFloat || format == kBinaryDouble; }

// Width of an ASCII integer field (node and element numbers).
inline int ascii_id_width(int32_t format) { return format == kAsciiShort ? 5 : 10; }

// Binary record sizes in bytes.
constexpr uint64_t kBinaryIdBytes = 4;
constexpr uint64_t kBinaryElementHeaderBytes = 16;  // id, type, group, material
inline uint64_t binary_real_bytes(int32_t format) { return format == kBinaryDouble ? 8 : 4; }
inline uint64_t binary_node_record_bytes(int32_t format) {
    return kBinaryIdBytes + 3 * binary_real_bytes(format);
}

}  // namespace kovan
