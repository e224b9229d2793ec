// Reading and opening the FRD file a command was given.
#pragma once

#include <string>

#include "frd_input.h"

namespace kovan_cli {

struct OpenedInput {
    int exit_code = kExitOk;  // not kExitOk when the file could not be read or opened
    std::string bytes;
    Document doc;
};

// Prints the failure line itself when it fails.
OpenedInput open_input(const std::string& path);

}  // namespace kovan_cli
