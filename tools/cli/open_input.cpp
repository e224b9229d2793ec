#include "open_input.h"

#include <cstdio>

namespace kovan_cli {

OpenedInput open_input(const std::string& path) {
    OpenedInput input;
    if (!read_file(path, input.bytes)) {
        std::fprintf(stderr, "%s: %s: the file could not be opened for reading\n", path.c_str(),
                     kovan_status_message(KOVAN_ERR_IO));
        input.exit_code = kExitUnreadable;
        return input;
    }
    kovan_document* doc = nullptr;
    const kovan_status status = kovan_open_memory(input.bytes.data(), input.bytes.size(), nullptr, &doc);
    if (status != KOVAN_OK) {
        std::fprintf(stderr, "%s\n", failure_line(path, status, nullptr).c_str());
        input.exit_code = exit_code_for(status);
        return input;
    }
    input.doc.reset(doc);
    return input;
}

}  // namespace kovan_cli
