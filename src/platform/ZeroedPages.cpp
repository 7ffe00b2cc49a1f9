#include "platform/ZeroedPages.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace korvane {

namespace {

// From this size on a block gets pages of its own; smaller ones come from the heap.
constexpr std::size_t pagedFrom = std::size_t(1) << 20;

} // namespace

void* allocateZeroed(std::size_t bytes) {
    if (bytes >= pagedFrom) {
        void* block =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) throw std::bad_alloc();
        return block;
    }
    void* block = std::calloc(bytes ? bytes : 1, 1);
    if (!block) throw std::bad_alloc();
    return block;
}

void releaseZeroed(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (bytes >= pagedFrom)
        munmap(block, bytes);
    else
        std::free(block);
}

} // namespace korvane
