#include <gtest/gtest.h>

#include <cstring>

#include "host/plugin_identity.h"

namespace tramvek {
namespace {

TEST(Capabilities, OnlyTheThreeReceivingCapabilitiesAreClaimed) {
    EXPECT_EQ(capabilityAnswer("receiveVstTimeInfo"), 1);
    EXPECT_EQ(capabilityAnswer("receiveVstEvents"), 1);
    EXPECT_EQ(capabilityAnswer("receiveVstMidiEvent"), 1);
    const char* refused[] = {"sendVstEvents",
                             "sendVstMidiEvent",
                             "sendVstTimeInfo",
                             "offline",
                             "plugAsChannelInsert",
                             "plugAsSend",
                             "mixDryWet",
                             "noRealTime",
                             "multipass",
                             "metapass",
                             "1in1out",
                             "1in2out",
                             "2in1out",
                             "2in2out",
                             "2in4out",
                             "4in2out",
                             "4in4out",
                             "4in8out",
                             "8in4out",
                             "8in8out",
                             "midiProgramNames",
                             "conformsToWindowRules",
                             ""};
    for (const char* name : refused) {
        EXPECT_EQ(capabilityAnswer(name), -1) << name;
    }
}

TEST(Capabilities, ComparisonIsExact) {
    EXPECT_EQ(capabilityAnswer("receivevstevents"), -1);
    EXPECT_EQ(capabilityAnswer("receiveVstEvents "), -1);
    EXPECT_EQ(capabilityAnswer("receiveVstEvent"), -1);
    EXPECT_EQ(capabilityAnswer(nullptr), -1);
}

TEST(Identity, TextsFitTheHostBuffers) {
    char vendor[kVstMaxVendorStrLen];
    std::memset(vendor, '#', sizeof vendor);
    EXPECT_TRUE(writeVendorText(vendor));
    EXPECT_STREQ(vendor, "Orvando @ Wobblefactorium");
    char product[kVstMaxProductStrLen];
    std::memset(product, '#', sizeof product);
    EXPECT_TRUE(writeProductText(product));
    EXPECT_STREQ(product, "tramvek v1.0");
    EXPECT_EQ(kSlicerUniqueId, 0x51585456);
}

}  // namespace
}  // namespace tramvek
