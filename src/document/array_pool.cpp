#include "document/array_pool.h"

#include <algorithm>

#include "support/huge_pages.h"

namespace kovan {

std::vector<double> take_buffer(ArrayPool* pool, size_t n) {
    if (pool != nullptr && n > 0) {
        std::lock_guard<std::mutex> hold(pool->lock);
        auto best = pool->buffers.end();
        for (auto it = pool->buffers.begin(); it != pool->buffers.end(); ++it) {
            if (it->capacity() >= n && (best == pool->buffers.end() || it->capacity() < best->capacity())) best = it;
        }
        if (best != pool->buffers.end()) {
            std::vector<double> buffer = std::move(*best);
            pool->buffers.erase(best);
            pool->held -= buffer.capacity();
            return buffer;
        }
    }
    std::vector<double> fresh;
    fresh.reserve(n);
    advise_huge_pages(fresh.data(), n * sizeof(double));
    return fresh;
}

void give_back(ArrayPool& pool, std::vector<std::vector<double>>&& buffers) {
    uint64_t given = 0;
    for (const std::vector<double>& buffer : buffers) given += buffer.capacity();
    std::lock_guard<std::mutex> hold(pool.lock);
    pool.most = std::max(pool.most, given);
    for (std::vector<double>& buffer : buffers) {
        if (buffer.capacity() == 0 || pool.held + buffer.capacity() > pool.most) continue;  // freed with `buffers`
        buffer.clear();
        pool.held += buffer.capacity();
        pool.buffers.push_back(std::move(buffer));
    }
}

}  // namespace kovan
