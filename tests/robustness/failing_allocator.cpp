#include "robustness/failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<uint64_t> g_fail_at{0};  // 0: never
std::atomic<uint64_t> g_count{0};
std::atomic<bool> g_reached{false};

bool should_fail() {
    const uint64_t at = g_fail_at.load(std::memory_order_relaxed);
    if (at == 0) return false;
    if (g_count.fetch_add(1) + 1 != at) return false;
    g_reached = true;
    return true;
}

void* allocate(std::size_t size) {
    if (should_fail()) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

namespace kovan_test {

void fail_allocation(uint64_t n) {
    g_count = 0;
    g_reached = false;
    g_fail_at = n;
}

bool stop_failing() {
    g_fail_at = 0;
    return g_reached.load();
}

}  // namespace kovan_test

void* operator new(std::size_t size) {
    void* p = allocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
