// The command line as UTF-8, which kovan's interface takes for paths.
#pragma once

#include <string>
#include <vector>

namespace kovan_cli {

// On Windows, main's arguments are in the ANSI code page and lose what it
// cannot hold: the command line is read again in UTF-16 and converted.
// Elsewhere the arguments are taken as they are.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// The number of threads that --jobs gives: a whole number from 1 up (more
// threads than the machine has are taken as given, and no more are started
// than there are steps); false for anything else.
bool read_jobs(const std::string& text, unsigned& jobs);

}  // namespace kovan_cli
