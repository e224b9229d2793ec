// Reading a whole file, named by a UTF-8 path, into memory.
#pragma once

#include <string>

namespace kovan {

// False, with the thread's failure text set, when the file cannot be
// opened or read to the end, or when the path names no regular file (a
// directory, device or pipe); the file is closed on every path. Allocation
// failures propagate as exceptions. The kovan tool reads its input with it
// too, so that both refuse the same paths.
bool read_whole_file(const char* utf8_path, std::string& out);

}  // namespace kovan
