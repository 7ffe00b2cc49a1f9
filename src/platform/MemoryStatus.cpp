#include "platform/MemoryStatus.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <sys/resource.h>

namespace korvane {

namespace {

// The value of the line "key:   1234 kB" in bytes; nothing when the line is
// missing, 0 when its number cannot be read or would overflow.
std::optional<std::uint64_t> kilobytes(std::string_view text, std::string_view key) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != ':')
            continue;
        std::string_view rest = line.substr(key.size() + 1);
        rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
        std::uint64_t value = 0;
        const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (ec != std::errc() || ptr == rest.data()) return 0;
        if (value > std::numeric_limits<std::uint64_t>::max() / 1024) return 0;
        return value * 1024;
    }
    return std::nullopt;
}

std::string fileText(const char* path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint64_t userAddressSpace() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) return limit.rlim_cur;
    // The user half of the address space: 128 TiB with 48-bit addresses on
    // 64-bit processors, 3 GiB on 32-bit ones.
    return sizeof(void*) == 8 ? std::uint64_t{1} << 47 : std::uint64_t{3} << 30;
}

} // namespace

MemoryStatus memoryStatusFrom(std::string_view meminfo, std::string_view selfStatus,
                              std::uint64_t addressSpace) {
    MemoryStatus s;
    s.physicalTotal = kilobytes(meminfo, "MemTotal").value_or(0);
    // Kernels before 3.14 do not estimate the available memory: the free
    // memory is the nearest figure they give.
    s.physicalAvailable =
        kilobytes(meminfo, "MemAvailable").value_or(kilobytes(meminfo, "MemFree").value_or(0));
    s.swapTotal = kilobytes(meminfo, "SwapTotal").value_or(0);
    s.swapAvailable = kilobytes(meminfo, "SwapFree").value_or(0);
    s.addressSpaceTotal = addressSpace;
    const std::uint64_t mapped = kilobytes(selfStatus, "VmSize").value_or(0);
    s.addressSpaceAvailable = addressSpace > mapped ? addressSpace - mapped : 0;
    return s;
}

HeapStatus heapStatusFrom(const struct mallinfo2& info) {
    HeapStatus h;
    // glibc maps what it takes from the system at once: nothing is reserved
    // without being committed.
    h.totalCommitted = info.arena + info.hblkhd;
    h.totalAddrSpace = h.totalCommitted;
    h.totalAllocated = info.uordblks + info.hblkhd;
    h.totalFree = info.fordblks;
    h.freeSmall = std::min<std::uint64_t>(info.fsmblks, h.totalFree);
    // The top of the heap, never handed out, that could be given back.
    h.unused = std::min<std::uint64_t>(info.keepcost, h.totalFree - h.freeSmall);
    h.freeBig = h.totalFree - h.freeSmall - h.unused;
    const std::uint64_t accounted = h.totalAllocated + h.totalFree;
    h.overhead = h.totalCommitted > accounted ? h.totalCommitted - accounted : 0;
    return h;
}

MemoryStatus readMemoryStatus() {
    return memoryStatusFrom(fileText("/proc/meminfo"), fileText("/proc/self/status"),
                            userAddressSpace());
}

HeapStatus readHeapStatus() {
    const struct mallinfo2 info = mallinfo2();
    return heapStatusFrom(info);
}

} // namespace korvane
