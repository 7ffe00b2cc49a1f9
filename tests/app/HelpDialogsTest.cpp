// The texts of the help menu's dialogs: the memory figures as the memory
// information dialog shows them, and the about dialog with its addresses and
// the dealer panel of country 886.
#include "TestSupport.h"

#include "app/About.h"
#include "app/MemoryInfo.h"

#include <gtest/gtest.h>

#include <iterator>

using namespace korvane;

namespace {

class HelpDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        test::loadTexts("US");
    }
    test::RecordingUserInterface ui;
};

} // namespace

TEST_F(HelpDialogs, MemoryInformationCaptionsAndSizes) {
    MemoryStatus memory;
    memory.physicalTotal = 17179869184;    // 16 GiB
    memory.physicalAvailable = 1610612736; // 1.5 GiB
    memory.swapTotal = 0;
    memory.swapAvailable = 1023;
    memory.addressSpaceTotal = std::uint64_t{1} << 47;
    memory.addressSpaceAvailable = 1536; // 1.5 KiB: half to even
    HeapStatus heap;
    heap.totalAllocated = 2560; // 2.5 KiB: half to even
    heap.totalFree = 1048575;   // just below a MiB
    const MemoryInfoText t = memoryInfoText(memory, heap);
    EXPECT_EQ(t.totalCaption, "Total");
    EXPECT_EQ(t.availableCaption, "Available");
    const struct {
        const char* caption;
        const char* total;
        const char* available;
    } memoryRows[] = {{"Physical memory", "16384MB", "1536MB"},
                      {"Page file", "0b", "1023b"},
                      {"Virtual address space", "134217728MB", "2KB"}};
    for (std::size_t i = 0; i < std::size(memoryRows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(t.memory[i].caption, memoryRows[i].caption);
        EXPECT_EQ(t.memory[i].total, memoryRows[i].total);
        EXPECT_EQ(t.memory[i].available, memoryRows[i].available);
    }
    EXPECT_EQ(t.heapCaption, "Memory manager heap");
    EXPECT_EQ(t.heap[0].caption, "Total address space");
    EXPECT_EQ(t.heap[3].caption, "Allocated");
    EXPECT_EQ(t.heap[3].value, "2KB");
    EXPECT_EQ(t.heap[4].value, "1024KB");
    EXPECT_EQ(t.heap[8].caption, "Overhead");
    EXPECT_EQ(t.heap[8].value, "0b");
}

TEST_F(HelpDialogs, AboutWithTheDealerPanelOnlyForCountry886) {
    const AboutText us = aboutText(1);
    EXPECT_EQ(us.caption, "About Korvane3D");
    EXPECT_EQ(us.version, "Version:1.0.0.1");
    EXPECT_EQ(us.webCaption, "Web site");
    EXPECT_EQ(us.webAddress, "https://vardimon.example");
    EXPECT_EQ(us.webTarget, "https://vardimon.example");
    EXPECT_EQ(us.emailCaption, "E-mail");
    EXPECT_EQ(us.emailAddress, "support@vardimon.example");
    EXPECT_EQ(us.emailTarget, "mailTo:support@vardimon.example");
    EXPECT_FALSE(us.dealerShown);
    EXPECT_EQ(us.dealer, "");
    for (int country : {48, 966, 885, 887}) EXPECT_FALSE(aboutText(country).dealerShown) << country;

    const AboutText tw = aboutText(886);
    EXPECT_TRUE(tw.dealerShown);
    EXPECT_EQ(tw.dealerCaption, "Dealer");
    EXPECT_EQ(tw.dealer.substr(0, tw.dealer.find('\n')), "Vardimon Taiwan Co., Ltd.");
    EXPECT_EQ(tw.emailTarget, us.emailTarget);
}
