// Where a document's bytes come from: a file read where it lies, the
// caller's bytes copied into memory, or the caller's own reading function
// (remote storage, a browser's File, a Python file object). Every reader of
// a document reads through one, at offsets, from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "frd/line_cursor.h"
#include "io/file.h"
#include "kovan.h"

namespace kovan {

struct Source {
    enum Kind { kFile, kMemory, kCaller };
    Kind kind = kMemory;
    std::string path;  // kFile: the UTF-8 path it was opened by, to open it again
    File file;         // kFile
    std::string bytes;  // kMemory
    kovan_source caller{};  // kCaller; its release is called when the Source goes

    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source();
};

// A source of bytes in memory, taken over (not copied).
std::shared_ptr<Source> memory_source(std::string bytes);

// The file at a UTF-8 path, open for reading where it lies; null, with the
// thread's failure text, when it cannot be opened.
std::shared_ptr<Source> file_source(const char* utf8_path);

// Copies up to `count` bytes at `offset` into `into`: how many it copied
// (fewer only at the end of the bytes), or -1 when they cannot be read.
int64_t read_source(const Source& source, uint64_t offset, char* into, uint64_t count);

// The source's size now; false, with the thread's text, when it cannot be told.
bool source_size(const Source& source, uint64_t& size);

// The source's bytes where they are all in memory already (and so read where
// they stand); null otherwise.
const char* bytes_in_memory(const Source& source);

// A cursor over the bytes `begin` .. `end` of the source, from `begin`: in
// memory where the source is, else through `window` (which must outlive it).
LineCursor source_cursor(const Source& source, uint64_t begin, uint64_t end, Window& window,
                         uint64_t chunk = kWindowBytes);

}  // namespace kovan
