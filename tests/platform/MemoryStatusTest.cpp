// The memory figures read from the kernel's texts and the heap's figures from
// the C library's statistics.
#include "platform/MemoryStatus.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

const char* const meminfo = "MemTotal:       16318532 kB\n"
                            "MemFree:         1022464 kB\n"
                            "MemAvailable:    9876540 kB\n"
                            "Buffers:          123456 kB\n"
                            "SwapCached:          100 kB\n"
                            "SwapTotal:       2097148 kB\n"
                            "SwapFree:        2000000 kB\n";

const char* const selfStatus = "Name:\tkorvane3d\n"
                               "VmPeak:\t  900000 kB\n"
                               "VmSize:\t  812345 kB\n"
                               "VmRSS:\t  100000 kB\n";

} // namespace

TEST(MemoryStatus, FiguresFromTheKernelsTexts) {
    const MemoryStatus s = memoryStatusFrom(meminfo, selfStatus, 140737488355328);
    EXPECT_EQ(s.physicalTotal, 16710176768u);     // 16318532 * 1024
    EXPECT_EQ(s.physicalAvailable, 10113576960u); // 9876540 * 1024
    EXPECT_EQ(s.swapTotal, 2147479552u);          // not SwapCached
    EXPECT_EQ(s.swapAvailable, 2048000000u);
    EXPECT_EQ(s.addressSpaceTotal, 140737488355328u);
    EXPECT_EQ(s.addressSpaceAvailable, 140736656514048u); // minus 812345 * 1024
}

TEST(MemoryStatus, OldKernelsMissingAndDamagedLines) {
    // No MemAvailable before kernel 3.14: the free memory stands in.
    const MemoryStatus old =
        memoryStatusFrom("MemTotal: 2048 kB\nMemFree: 1024 kB\n", "VmSize: x kB\n", 1048576);
    EXPECT_EQ(old.physicalTotal, 2097152u);
    EXPECT_EQ(old.physicalAvailable, 1048576u);
    EXPECT_EQ(old.swapTotal, 0u);
    EXPECT_EQ(old.addressSpaceAvailable, 1048576u); // unreadable size counts as 0

    // A number too large for bytes, a key that only begins like one, a
    // process larger than the limit it was given.
    const MemoryStatus odd = memoryStatusFrom("MemTotalX: 5 kB\nMemTotal: 99999999999999999999 kB\n"
                                              "SwapTotal: 18014398509481984 kB\n",
                                              "VmSize: 3000 kB\n", 1024);
    EXPECT_EQ(odd.physicalTotal, 0u);
    EXPECT_EQ(odd.swapTotal, 0u);
    EXPECT_EQ(odd.addressSpaceAvailable, 0u);

    const MemoryStatus none = memoryStatusFrom("", "", 0);
    EXPECT_EQ(none.physicalTotal, 0u);
    EXPECT_EQ(none.physicalAvailable, 0u);
}

TEST(MemoryStatus, HeapFiguresAddUp) {
    struct mallinfo2 info {};
    info.arena = 200000; // taken from the system for the arenas
    info.hblkhd = 50000; // mapped blocks
    info.uordblks = 150000;
    info.fordblks = 40000;
    info.fsmblks = 3000;
    info.keepcost = 30000;
    const HeapStatus h = heapStatusFrom(info);
    EXPECT_EQ(h.totalAddrSpace, 250000u);
    EXPECT_EQ(h.totalUncommitted, 0u);
    EXPECT_EQ(h.totalCommitted, 250000u);
    EXPECT_EQ(h.totalAllocated, 200000u);
    EXPECT_EQ(h.totalFree, 40000u);
    EXPECT_EQ(h.freeSmall, 3000u);
    EXPECT_EQ(h.unused, 30000u);
    EXPECT_EQ(h.freeBig, 7000u);
    EXPECT_EQ(h.overhead, 10000u);

    // A top larger than the free space left beside the small blocks is cut to it.
    info.keepcost = 90000;
    EXPECT_EQ(heapStatusFrom(info).unused, 37000u);
    EXPECT_EQ(heapStatusFrom(info).freeBig, 0u);

    const HeapStatus live = readHeapStatus();
#ifndef __SANITIZE_ADDRESS__
    // The address sanitizer replaces glibc's allocator, whose figures then read zero.
    EXPECT_GT(live.totalCommitted, 0u);
#endif
    EXPECT_EQ(live.totalFree, live.freeSmall + live.freeBig + live.unused);
}
