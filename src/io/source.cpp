#include "io/source.h"

#include <algorithm>
#include <utility>

#include "support/failure_text.h"

namespace kovan {

Source::~Source() {
    if (kind == kCaller && caller.release != nullptr) caller.release(caller.context);
}

namespace {

// A caller's function may copy fewer bytes than asked before the end (a
// stream); it is asked again for the rest until it copies nothing.
int64_t read_caller(const kovan_source& caller, uint64_t offset, char* into, uint64_t count) {
    uint64_t done = 0;
    while (done < count) {
        const int64_t got = caller.read_at(caller.context, offset + done, into + done, count - done);
        if (got < 0 || static_cast<uint64_t>(got) > count - done) return -1;  // more than asked: the caller's fault
        if (got == 0) break;
        done += static_cast<uint64_t>(got);
    }
    return static_cast<int64_t>(done);
}

}  // namespace

std::shared_ptr<Source> memory_source(std::string bytes) {
    auto source = std::make_shared<Source>();
    source->bytes = std::move(bytes);
    return source;
}

std::shared_ptr<Source> file_source(const char* utf8_path) {
    auto source = std::make_shared<Source>();
    source->kind = Source::kFile;
    source->path = utf8_path;
    if (!open_file(utf8_path, source->file)) return nullptr;
    return source;
}

int64_t read_source(const Source& source, uint64_t offset, char* into, uint64_t count) {
    switch (source.kind) {
        case Source::kFile: return read_file_at(source.file, offset, into, count);
        case Source::kCaller: return read_caller(source.caller, offset, into, count);
        default: {
            if (offset >= source.bytes.size()) return 0;
            const uint64_t n = std::min<uint64_t>(count, source.bytes.size() - offset);
            source.bytes.copy(into, static_cast<size_t>(n), static_cast<size_t>(offset));
            return static_cast<int64_t>(n);
        }
    }
}

bool source_size(const Source& source, uint64_t& size) {
    switch (source.kind) {
        case Source::kFile:
            if (file_size(source.file, size)) return true;
            set_thread_error("the size of the file could not be read");
            return false;
        case Source::kCaller: size = source.caller.size(source.caller.context); return true;
        default: size = source.bytes.size(); return true;
    }
}

const char* bytes_in_memory(const Source& source) {
    return source.kind == Source::kMemory ? source.bytes.data() : nullptr;
}

namespace {

int64_t read_through(const void* context, uint64_t offset, char* into, uint64_t count) {
    return read_source(*static_cast<const Source*>(context), offset, into, count);
}

}  // namespace

LineCursor source_cursor(const Source& source, uint64_t begin, uint64_t end, Window& window, uint64_t chunk) {
    if (const char* bytes = bytes_in_memory(source)) {
        LineCursor cursor = make_cursor(std::string_view(bytes, static_cast<size_t>(end)));
        cursor.position = cursor.line_start = begin;
        return cursor;
    }
    window.source = ByteSource{read_through, &source};
    window.chunk = chunk;
    return make_window_cursor(window, begin, end);
}

}  // namespace kovan
