#pragma once

#include <cstdint>
#include <malloc.h>
#include <string_view>

// The memory figures of the system and of this process, and the state of the
// process's heap, as the kernel (/proc) and the C library (mallinfo2) give
// them. Bytes throughout.
namespace korvane {

struct MemoryStatus {
    std::uint64_t physicalTotal = 0;         // MemTotal
    std::uint64_t physicalAvailable = 0;     // MemAvailable (MemFree on old kernels)
    std::uint64_t swapTotal = 0;             // SwapTotal
    std::uint64_t swapAvailable = 0;         // SwapFree
    std::uint64_t addressSpaceTotal = 0;     // the process's user address space
    std::uint64_t addressSpaceAvailable = 0; // the part not mapped (total - VmSize)
};

struct HeapStatus {
    std::uint64_t totalAddrSpace = 0;
    std::uint64_t totalUncommitted = 0;
    std::uint64_t totalCommitted = 0;
    std::uint64_t totalAllocated = 0;
    std::uint64_t totalFree = 0;
    std::uint64_t freeSmall = 0;
    std::uint64_t freeBig = 0;
    std::uint64_t unused = 0;
    std::uint64_t overhead = 0;
};

// The figures from the texts of /proc/meminfo and /proc/self/status and the
// size of the user address space; a missing or unreadable line counts as 0.
MemoryStatus memoryStatusFrom(std::string_view meminfo, std::string_view selfStatus,
                              std::uint64_t addressSpace);
// The heap's figures from the C library's statistics.
HeapStatus heapStatusFrom(const struct mallinfo2& info);

MemoryStatus readMemoryStatus();
HeapStatus readHeapStatus();

} // namespace korvane
