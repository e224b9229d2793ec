// An FRD file as the tool sees it: the document kovan reads from it, and
// the block headers a light scan of the file finds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kovan.h"

namespace kovan_cli {

struct DocumentCloser {
    void operator()(kovan_document* doc) const { kovan_close(doc); }
};
using Document = std::unique_ptr<kovan_document, DocumentCloser>;

// A block header line: "2C", "3C" or "100C", its stated count and format.
struct HeaderLine {
    std::string key;
    int64_t count = -1;
    int format = 1;
};

// Reads the whole file by the library's rule (regular files only); false
// with the reason when it cannot be read. Running out of memory throws.
bool read_file(const std::string& path, std::string& bytes, std::string& why);

// A file's size and its block header lines, found by the reading core's
// walk, so that they are the blocks the library reads.
struct ScannedFile {
    uint64_t size = 0;
    std::vector<HeaderLine> headers;
};

// Reads the file a window at a time; false with the reason when it cannot
// be read.
bool scan_file(const std::string& path, ScannedFile& scanned, std::string& why);

// The failure line every command prints: the file, the status message and
// the library's detail text.
std::string failure_line(const std::string& path, kovan_status status, const kovan_document* doc);

// Exit codes, documented in README.md.
enum ExitCode : int {
    kExitOk = 0,
    kExitProblems = 1,  // check found problems
    kExitUsage = 2,
    kExitUnreadable = 3,  // the input could not be opened or read
    kExitInvalid = 4,     // the input did not parse, or cannot be converted
    kExitUnwritable = 5,  // the output could not be written
    kExitInternal = 6,    // out of memory or an internal error
};
int exit_code_for(kovan_status status);

}  // namespace kovan_cli
