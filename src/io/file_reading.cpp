#include "io/file_reading.h"

#include <cstdio>
#include <memory>

#include "support/failure_text.h"
#include "support/huge_pages.h"

#ifdef _WIN32
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kovan {
namespace {

constexpr size_t kReadChunkBytes = 65536;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Only regular files are read: a directory, a device (/dev/zero never ends)
// or a pipe (a FIFO without a writer blocks the open forever) is refused
// before it is read.
constexpr const char* kNotRegular = "the path names a directory, device or pipe, not a regular file";
constexpr const char* kNotOpened = "the file could not be opened for reading";

#ifdef _WIN32
// Windows names files in UTF-16: convert, then open with the wide call. A
// path that is not valid UTF-8 fails instead of naming some other file
// through replacement characters.
FileHandle open_for_reading(const char* utf8_path, const char*& why) {
    why = kNotOpened;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, nullptr, 0);
    if (length <= 0) return nullptr;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, wide.data(), length) <= 0) return nullptr;
    struct _stat64 status;
    if (_wstat64(wide.c_str(), &status) != 0) return nullptr;
    if ((status.st_mode & _S_IFMT) != _S_IFREG) {
        why = kNotRegular;
        return nullptr;
    }
    std::FILE* file = nullptr;
    if (_wfopen_s(&file, wide.c_str(), L"rb") != 0) return nullptr;
    return FileHandle(file);
}
#else
// Opened without blocking, so that a pipe is seen for what it is before
// anything waits on it; regular files never block.
FileHandle open_for_reading(const char* utf8_path, const char*& why) {
    why = kNotOpened;
    const int fd = ::open(utf8_path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        if (known) why = kNotRegular;
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) ::close(fd);
    return FileHandle(file);
}
#endif

// One allocation of the right size up front where the size can be known;
// the read loop below does not rely on it.
void reserve_file_size(std::FILE* file, std::string& out) {
    if (std::fseek(file, 0, SEEK_END) != 0) return;
#ifdef _WIN32
    const long long size = _ftelli64(file);
#else
    const long long size = ftello(file);
#endif
    std::rewind(file);
    if (size > 0 && static_cast<unsigned long long>(size) < out.max_size() - kReadChunkBytes) {
        out.reserve(static_cast<size_t>(size) + kReadChunkBytes);
        advise_huge_pages(out.data(), out.capacity());
    }
}

}  // namespace

bool read_whole_file(const char* utf8_path, std::string& out) {
    const char* why = nullptr;
    FileHandle file = open_for_reading(utf8_path, why);
    if (!file) {
        set_thread_error(why);
        return false;
    }
    out.clear();
    reserve_file_size(file.get(), out);
    while (true) {
        const size_t old_size = out.size();
        out.resize(old_size + kReadChunkBytes);
        const size_t got = std::fread(&out[old_size], 1, kReadChunkBytes, file.get());
        out.resize(old_size + got);
        if (got < kReadChunkBytes) break;
    }
    if (std::ferror(file.get())) {
        set_thread_error("the file could not be read to the end");
        return false;
    }
    file.reset();  // closed before the text is parsed
    return true;
}

}  // namespace kovan
