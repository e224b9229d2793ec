// Realistic FRD files for the benchmarks: a block of hexahedra with DISP and
// STRESS steps, laid out as CalculiX writes them.
#pragma once

#include <cstdint>
#include <string>

namespace kovan_bench {

enum class Encoding {
    kAsciiShort,   // every block in format 0
    kAsciiLong,    // every block in format 1, as ccx writes *NODE FILE output
    kBinaryMixed,  // nodes in 3, elements and results in 2, as ccx writes *NODE OUTPUT
    kBinaryDouble  // every block in 3 (elements in 2, which has no double form)
};

const char* encoding_name(Encoding encoding);

struct Generated {
    std::string text;
    uint64_t nodes = 0, elements = 0, steps = 0;
};

// A file of about `target_bytes`: an n x n x n block of hexahedra (8-node,
// or 20-node when `quadratic`), and as many steps of DISP (three stored
// components and CalculiX's computed ALL) and STRESS (six) as fill it.
Generated generate(uint64_t target_bytes, Encoding encoding, bool quadratic = false);

}  // namespace kovan_bench
