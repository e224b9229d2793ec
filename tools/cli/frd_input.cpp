#include "frd_input.h"

#include "frd/block_walk.h"
#include "io/file.h"
#include "io/source.h"
#include "support/failure_text.h"

namespace kovan_cli {
namespace {

// The block headers of a walk, whatever the blocks hold.
struct HeaderSink {
    std::vector<HeaderLine>& headers;

    void text_line(const kovan::Line&) {}
    void other_line(const kovan::Line&) {}
    void end_line(const kovan::Line&) {}
    void ascii_node(const kovan::NodeLine&, const kovan::Line&) {}
    void binary_node(const kovan::BinaryNode&) {}
    void element(const kovan::ElementRead&) {}
    void end_block(kovan::BlockKey, const kovan::BlockHeader&, const kovan::BlockEnd&) {}

    void begin_block(kovan::BlockKey key, const kovan::Line&, const kovan::BlockHeader& header, uint64_t) {
        headers.push_back({key == kovan::BlockKey::kNodes ? "2C" : "3C", header.count, header.format});
    }
    bool result_block(const kovan::Line&, const kovan::ResultHeader& header, const kovan::ResultLocation&) {
        headers.push_back({"100C", header.block.count, header.block.format});
        return true;
    }
};

}  // namespace

bool read_file(const std::string& path, std::string& bytes, std::string& why) {
    if (kovan::read_whole_file(path.c_str(), bytes)) return true;
    why = kovan::thread_error();
    return false;
}

bool scan_file(const std::string& path, ScannedFile& scanned, std::string& why) {
    const std::shared_ptr<const kovan::Source> file = kovan::file_source(path.c_str());
    if (!file || !kovan::source_size(*file, scanned.size)) {
        why = kovan::thread_error();
        return false;
    }
    // Read a window at a time, as the library reads it: the file is never
    // held whole.
    kovan::Window window;
    kovan::LineCursor cursor = kovan::source_cursor(*file, 0, scanned.size, window);
    HeaderSink sink{scanned.headers};
    kovan::DocumentFieldWidth continuation_width;
    kovan::walk_blocks(cursor, continuation_width, sink);
    if (kovan::read_failed(cursor)) {
        why = "the file could not be read to the end";
        return false;
    }
    return true;
}

std::string failure_line(const std::string& path, kovan_status status, const kovan_document* doc) {
    const std::string detail = kovan_last_error(doc);
    std::string line = path + ": " + kovan_status_message(status);
    if (!detail.empty()) line += ": " + detail;
    return line;
}

int exit_code_for(kovan_status status) {
    switch (status) {
        case KOVAN_OK: return kExitOk;
        case KOVAN_ERR_IO: return kExitUnreadable;
        case KOVAN_ERR_PARSE:
        case KOVAN_ERR_COMPONENTS: return kExitInvalid;
        case KOVAN_ERR_ARG: return kExitUsage;
        default: return kExitInternal;
    }
}

}  // namespace kovan_cli
