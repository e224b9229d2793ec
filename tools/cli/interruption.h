// A file that must not outlive an interrupted run (Ctrl-C, SIGTERM): the
// hidden file that convert writes before it renames it into place.
#pragma once

#include <filesystem>

namespace kovan_cli {

// From here until keep_after_interruption(), an interruption removes the
// file, then ends the process as the signal would have.
void remove_on_interruption(const std::filesystem::path& file);
void keep_after_interruption();

}  // namespace kovan_cli
