// Reading and opening the FRD file a command was given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frd_input.h"

namespace kovan_cli {

struct OpenedInput {
    int exit_code = kExitOk;  // not kExitOk when the file could not be read or opened
    uint64_t size = 0;
    std::vector<HeaderLine> headers;
    Document doc;
};

// The file's block headers, then the document kovan reads from the file;
// neither holds the file whole. Prints the failure line itself when it
// fails.
OpenedInput open_input(const std::string& path);

// The line of a file that could not be read.
void print_unreadable(const std::string& path, const std::string& why);

}  // namespace kovan_cli
