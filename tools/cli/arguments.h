// The command line as UTF-8, which kovan's interface takes for paths.
#pragma once

#include <string>
#include <vector>

namespace kovan_cli {

// On Windows, main's arguments are in the ANSI code page and lose what it
// cannot hold: the command line is read again in UTF-16 and converted.
// Elsewhere the arguments are taken as they are.
std::vector<std::string> utf8_arguments(int argc, char** argv);

}  // namespace kovan_cli
