// Files named by UTF-8 paths, read at offsets: the document reads its file
// where it lies instead of holding a copy, and any thread may read at once.
#pragma once

#include <cstdint>
#include <string>

namespace kovan {

// An open file, read only. On Windows it is opened sharing reading, writing
// and deleting, so that a solver can still rewrite or delete a file that a
// viewer holds open.
struct File {
#ifdef _WIN32
    void* handle = nullptr;  // INVALID_HANDLE_VALUE or null when closed
#else
    int descriptor = -1;
#endif
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();
    bool is_open() const;
};

// Opens a regular file: a directory, a device (/dev/zero never ends) or a
// pipe (a FIFO without a writer blocks an open forever) is refused before
// anything reads or waits on it. False, with the thread's failure text set,
// when the file cannot be opened.
bool open_file(const char* utf8_path, File& file);

// Copies up to `count` bytes at `offset` into `into`: how many it copied
// (fewer only at the end of the file), or -1 when they cannot be read.
int64_t read_file_at(const File& file, uint64_t offset, char* into, uint64_t count);

// The file's size now; false when it cannot be told.
bool file_size(const File& file, uint64_t& size);

// The whole file in memory, for what needs all of it at once (re-encoding).
// False, with the thread's failure text set, when the file cannot be
// opened or read to the end. Allocation failures propagate as exceptions.
bool read_whole_file(const char* utf8_path, std::string& out);

}  // namespace kovan
