#pragma once

#include "platform/MemoryStatus.h"

#include <array>
#include <string>

// What the memory information dialog shows: physical memory, swap and the
// address space with their totals and available parts, and the heap's figures.
namespace korvane {

struct MemoryInfoRow {
    std::string caption;
    std::string total;
    std::string available;
};

struct HeapInfoRow {
    std::string caption;
    std::string value;
};

struct MemoryInfoText {
    std::string totalCaption;
    std::string availableCaption;
    std::array<MemoryInfoRow, 3> memory; // physical, page file (swap), address space
    std::string heapCaption;
    std::array<HeapInfoRow, 9> heap;
};

MemoryInfoText memoryInfoText(const MemoryStatus& memory, const HeapStatus& heap);

} // namespace korvane
