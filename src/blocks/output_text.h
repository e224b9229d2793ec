// The bytes of a file being written, in memory from malloc, so that the
// finished text can be handed to the caller as it stands (released with
// kovan_free) instead of being copied into a buffer of its own. Growing it
// by realloc lets large buffers move without copying where the system can.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kovan {

struct OutputText {
    char* data = nullptr;
    size_t size = 0;
    size_t capacity = 0;

    OutputText() = default;
    OutputText(const OutputText&) = delete;
    OutputText& operator=(const OutputText&) = delete;
    OutputText(OutputText&& other) noexcept;
    OutputText& operator=(OutputText&& other) noexcept;
    ~OutputText();

    // Throw std::bad_alloc when the memory cannot be had.
    void reserve(size_t n);
    void append(const char* bytes, size_t n) {
        if (capacity - size < n) grow(n);
        if (n != 0) std::char_traits<char>::copy(data + size, bytes, n);
        size += n;
    }
    void append(std::string_view text) { append(text.data(), text.size()); }
    void append(size_t n, char c) {
        if (capacity - size < n) grow(n);
        if (n != 0) std::char_traits<char>::assign(data + size, n, c);
        size += n;
    }
    void push_back(char c) { append(1, c); }
    void clear() { size = 0; }

    std::string_view view() const { return std::string_view(data, size); }

    // The buffer, its length and a NUL byte after it; the text is left
    // empty. Null when a buffer cannot be had.
    char* release() noexcept;

private:
    void grow(size_t more);
};

}  // namespace kovan
