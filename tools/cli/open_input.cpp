#include "open_input.h"

#include <cstdio>

namespace kovan_cli {

void print_unreadable(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "%s: %s: %s\n", path.c_str(), kovan_status_message(KOVAN_ERR_IO), why.c_str());
}

OpenedInput open_input(const std::string& path) {
    OpenedInput input;
    ScannedFile scanned;
    std::string why;
    if (!scan_file(path, scanned, why)) {
        print_unreadable(path, why);
        input.exit_code = kExitUnreadable;
        return input;
    }
    input.size = scanned.size;
    input.headers = std::move(scanned.headers);
    kovan_document* doc = nullptr;
    const kovan_status status = kovan_open(path.c_str(), &doc);
    if (status != KOVAN_OK) {
        std::fprintf(stderr, "%s\n", failure_line(path, status, nullptr).c_str());
        input.exit_code = exit_code_for(status);
        return input;
    }
    input.doc.reset(doc);
    return input;
}

}  // namespace kovan_cli
