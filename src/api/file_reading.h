// Reading a whole file, named by a UTF-8 path, into memory.
#pragma once

#include <string>

#include "kovan.h"

namespace kovan {

// KOVAN_ERR_IO with the thread's last error set when the file cannot be
// opened or read to the end; the file is closed on every path. Allocation
// failures propagate as exceptions.
kovan_status read_whole_file(const char* utf8_path, std::string& out);

}  // namespace kovan
