#include "io/file.h"

#include <algorithm>
#include <utility>

#include "support/failure_text.h"
#include "support/huge_pages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kovan {
namespace {

constexpr const char* kNotRegular = "the path names a directory, device or pipe, not a regular file";
constexpr const char* kNotOpened = "the file could not be opened for reading";
constexpr const char* kNotRead = "the file could not be read to the end";

}  // namespace

#ifdef _WIN32
File::File(File&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
File& File::operator=(File&& other) noexcept {
    std::swap(handle, other.handle);
    return *this;
}
File::~File() {
    if (is_open()) CloseHandle(handle);
}
bool File::is_open() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

// Windows names files in UTF-16: convert, then open with the wide call. A
// path that is not valid UTF-8 fails instead of naming some other file
// through replacement characters.
bool open_file(const char* utf8_path, File& file) {
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
    if (length <= 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, wide.data(), length) <= 0) {
        set_thread_error(kNotOpened);
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        set_thread_error(kNotOpened);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        set_thread_error(kNotRegular);
        return false;
    }
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        set_thread_error(kNotOpened);
        return false;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        set_thread_error(kNotRegular);
        return false;
    }
    file = File();
    file.handle = handle;
    return true;
}

// A read at an offset of its own: the handle's file pointer is not shared
// state that threads reading at once would fight over.
int64_t read_file_at(const File& file, uint64_t offset, char* into, uint64_t count) {
    uint64_t done = 0;
    while (done < count) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>((offset + done) & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const DWORD ask = static_cast<DWORD>(std::min<uint64_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.handle, into + done, ask, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            return -1;
        }
        if (got == 0) break;
        done += got;
    }
    return static_cast<int64_t>(done);
}

bool file_size(const File& file, uint64_t& size) {
    LARGE_INTEGER value{};
    if (!GetFileSizeEx(file.handle, &value) || value.QuadPart < 0) return false;
    size = static_cast<uint64_t>(value.QuadPart);
    return true;
}
#else
File::File(File&& other) noexcept : descriptor(std::exchange(other.descriptor, -1)) {}
File& File::operator=(File&& other) noexcept {
    std::swap(descriptor, other.descriptor);
    return *this;
}
File::~File() {
    if (descriptor >= 0) ::close(descriptor);
}
bool File::is_open() const { return descriptor >= 0; }

// Opened without blocking, so that a pipe is seen for what it is before
// anything waits on it; regular files never block.
bool open_file(const char* utf8_path, File& file) {
    const int descriptor = ::open(utf8_path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        set_thread_error(kNotOpened);
        return false;
    }
    struct stat status {};
    const bool known = ::fstat(descriptor, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        set_thread_error(known ? kNotRegular : kNotOpened);
        return false;
    }
    file = File();
    file.descriptor = descriptor;
    return true;
}

int64_t read_file_at(const File& file, uint64_t offset, char* into, uint64_t count) {
    uint64_t done = 0;
    while (done < count) {
        const size_t ask = static_cast<size_t>(std::min<uint64_t>(count - done, uint64_t{1} << 30));
        const ssize_t got = ::pread(file.descriptor, into + done, ask, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<uint64_t>(got);
    }
    return static_cast<int64_t>(done);
}

bool file_size(const File& file, uint64_t& size) {
    struct stat status {};
    if (::fstat(file.descriptor, &status) != 0 || status.st_size < 0) return false;
    size = static_cast<uint64_t>(status.st_size);
    return true;
}
#endif

bool read_whole_file(const char* utf8_path, std::string& out) {
    File file;
    if (!open_file(utf8_path, file)) return false;
    uint64_t size = 0;
    if (!file_size(file, size) || size > out.max_size()) {
        set_thread_error(kNotRead);
        return false;
    }
    out.clear();
    out.reserve(static_cast<size_t>(size));
    advise_huge_pages(out.data(), static_cast<size_t>(size));
    out.resize(static_cast<size_t>(size));
    const int64_t got = read_file_at(file, 0, out.data(), size);
    if (got < 0) {
        set_thread_error(kNotRead);
        return false;
    }
    out.resize(static_cast<size_t>(got));  // a file that shrank meanwhile ends where it ends
    return true;
}

}  // namespace kovan
