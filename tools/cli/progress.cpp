#include "progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define KOVAN_ISATTY(fd) _isatty(fd)
#define KOVAN_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define KOVAN_ISATTY(fd) isatty(fd)
#define KOVAN_FILENO(f) fileno(f)
#endif

namespace kovan_cli {

ProgressLine start_progress(const std::string& what, uint64_t total) {
    return ProgressLine{what, total, total > 1 && KOVAN_ISATTY(KOVAN_FILENO(stderr)) != 0};
}

void show_progress(const ProgressLine& line, uint64_t done) {
    if (!line.shown) return;
    std::fprintf(stderr, "\r%s: %llu of %llu", line.what.c_str(), static_cast<unsigned long long>(done),
                 static_cast<unsigned long long>(line.total));
    std::fflush(stderr);
}

void end_progress(const ProgressLine& line) {
    if (!line.shown) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(line.what.size() + 48), "");
    std::fflush(stderr);
}

}  // namespace kovan_cli
