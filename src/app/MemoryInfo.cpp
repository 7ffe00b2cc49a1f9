#include "app/MemoryInfo.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"

namespace korvane {

namespace {

std::string caption(const char* key) {
    return txt("MemoryInfo", key);
}

} // namespace

MemoryInfoText memoryInfoText(const MemoryStatus& m, const HeapStatus& h) {
    MemoryInfoText t;
    t.totalCaption = caption("lCalkowita.Caption");
    t.availableCaption = caption("lDostepna.Caption");
    t.memory = {{{caption("lPamiecFizyczna.Caption"), formatByteCount(m.physicalTotal),
                  formatByteCount(m.physicalAvailable)},
                 {caption("lPlikWymiany.Caption"), formatByteCount(m.swapTotal),
                  formatByteCount(m.swapAvailable)},
                 {caption("lPamiecWirtualna.Caption"), formatByteCount(m.addressSpaceTotal),
                  formatByteCount(m.addressSpaceAvailable)}}};
    t.heapCaption = caption("gbSterta.Caption");
    t.heap = {{{caption("lTotalAddrSpace.Caption"), formatByteCount(h.totalAddrSpace)},
               {caption("lTotalUncommitted.Caption"), formatByteCount(h.totalUncommitted)},
               {caption("lTotalCommitted.Caption"), formatByteCount(h.totalCommitted)},
               {caption("lTotalAllocated.Caption"), formatByteCount(h.totalAllocated)},
               {caption("lTotalFree.Caption"), formatByteCount(h.totalFree)},
               {caption("lFreeSmall.Caption"), formatByteCount(h.freeSmall)},
               {caption("lFreeBig.Caption"), formatByteCount(h.freeBig)},
               {caption("lUnused.Caption"), formatByteCount(h.unused)},
               {caption("lOverhead.Caption"), formatByteCount(h.overhead)}}};
    return t;
}

} // namespace korvane
