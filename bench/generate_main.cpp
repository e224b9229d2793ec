// frd_generate SIZE_MB ENCODING [--quadratic] OUT.frd: writes a realistic FRD
// file for the benchmarks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "frd_generator.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s SIZE_MB ascii-short|ascii-long|binary-ccx|binary-double [--quadratic] OUT.frd\n", argv[0]);
        return 2;
    }
    const uint64_t bytes = static_cast<uint64_t>(std::atof(argv[1]) * 1e6);
    kovan_bench::Encoding encoding = kovan_bench::Encoding::kAsciiLong;
    for (auto e : {kovan_bench::Encoding::kAsciiShort, kovan_bench::Encoding::kAsciiLong,
                   kovan_bench::Encoding::kBinaryMixed, kovan_bench::Encoding::kBinaryDouble}) {
        if (std::strcmp(argv[2], kovan_bench::encoding_name(e)) == 0) encoding = e;
    }
    const bool quadratic = argc > 4 && std::strcmp(argv[3], "--quadratic") == 0;
    const kovan_bench::Generated file = kovan_bench::generate(bytes, encoding, quadratic);
    std::ofstream out(argv[argc - 1], std::ios::binary);
    out << file.text;
    if (!out.flush()) {
        std::fprintf(stderr, "%s: could not be written\n", argv[argc - 1]);
        return 1;
    }
    std::printf("%s: %zu bytes, %llu nodes, %llu elements, %llu steps\n", argv[argc - 1], file.text.size(),
                static_cast<unsigned long long>(file.nodes), static_cast<unsigned long long>(file.elements),
                static_cast<unsigned long long>(file.steps));
    return 0;
}
