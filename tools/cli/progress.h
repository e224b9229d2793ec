// A progress line on standard error, shown only when it is a terminal.
#pragma once

#include <cstdint>
#include <string>

namespace kovan_cli {


struct ProgressLine {
    std::string what;
    uint64_t total = 0;
    bool shown = false;  // stderr is a terminal and the work is large enough
};

ProgressLine start_progress(const std::string& what, uint64_t total);
void show_progress(const ProgressLine& line, uint64_t done);
void end_progress(const ProgressLine& line);

}  // namespace kovan_cli
