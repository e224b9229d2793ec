#include "blocks/output_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace kovan {

OutputText::OutputText(OutputText&& other) noexcept
    : data(std::exchange(other.data, nullptr)),
      size(std::exchange(other.size, 0)),
      capacity(std::exchange(other.capacity, 0)) {}

OutputText& OutputText::operator=(OutputText&& other) noexcept {
    if (this != &other) {
        std::free(data);
        data = std::exchange(other.data, nullptr);
        size = std::exchange(other.size, 0);
        capacity = std::exchange(other.capacity, 0);
    }
    return *this;
}

OutputText::~OutputText() { std::free(data); }

void OutputText::reserve(size_t n) {
    if (n <= capacity) return;
    if (n == SIZE_MAX) throw std::bad_alloc();
    void* moved = std::realloc(data, n + 1);  // room for the NUL of release()
    if (moved == nullptr) throw std::bad_alloc();
    data = static_cast<char*>(moved);
    capacity = n;
}

void OutputText::grow(size_t more) {
    if (more > SIZE_MAX / 2 - size) throw std::bad_alloc();
    const size_t doubled = capacity > SIZE_MAX / 4 ? SIZE_MAX / 2 : 2 * capacity;
    reserve(std::max(size + more, std::max<size_t>(doubled, 256)));
}

char* OutputText::release() noexcept {
    if (data == nullptr) {
        data = static_cast<char*>(std::malloc(1));
        if (data == nullptr) return nullptr;
    }
    data[size] = '\0';
    // Give back the room a generous reserve left unused.
    if (void* fitted = std::realloc(data, size + 1)) data = static_cast<char*>(fitted);
    char* out = std::exchange(data, nullptr);
    size = capacity = 0;
    return out;
}

}  // namespace kovan
